// What makes one world the same wherever it is installed: the places a save
// refers to (screens, cells, the gate and the standing figures), as the map
// files give them. A copy of the shipped world has the shipped world's
// identity in any folder; a world whose map was edited is another world.
#pragma once

#include <string>

// 16 hex digits: a 64-bit FNV-1a hash of every cell of the nine screens and
// the map header's three spots, taken from the world map as loaded (the gate
// still closed).
std::string WorldIdentity();
