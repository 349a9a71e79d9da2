// What makes a data tree the same for a recording: the bytes of every file the
// game reads (the hero, the enemy kinds, the abilities, the nine layouts, the
// map header and the nine placement files). Unlike the world's identity of the
// saves, which is the map alone, any change to any of them is another tree: a
// recording replays exactly only on the tree it was made on.
#pragma once

#include <string>

// 16 hex digits: a 64-bit FNV-1a hash of each file's path and content as the
// game's reader sees it (its first MiB), a missing file counted as missing.
// The files are opened as the game opens them (data_files.h).
std::string DataTreeIdentity();
