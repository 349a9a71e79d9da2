// The game's data tree: finding it, and opening its files for reading.
// posix_files.cpp or win32_files.cpp implements them.
#pragma once

#include <cstddef>
#include <cstdio>

// The entry point, before PlatformStart: whether a folder named on the command line can hold a data tree.
// It must be a folder that can be entered and listed; looked at without
// opening anything, so a pipe never waits. False with the reason (English,
// one line) when not.
bool PlatformCheckDataFolder(const char* folder, char* why, std::size_t whySize);

// The entry point: makes the folder that holds the data tree the working directory; false when none was entered.
// The named folder and no other when one is given, else the first folder of
// PlatformDataFolder's list that holds the data.
bool PlatformEnterDataDirectory(const char* folder);

// The command line's help: the n-th folder (from 0) searched for the data tree; null past the last.
const char* PlatformDataFolder(int n);

// The loaders: a data file opened for reading, bytes as they are; null, errno saying why, when it cannot be.
// The path is relative to the working directory, with '\' as its separator.
// Only a regular file opens, without ever waiting: a folder, a pipe or a
// device counts as missing (ENOENT missing, EISDIR a folder, ENODEV another
// file that is not a regular one, EACCES not readable).
std::FILE* PlatformOpenFile(const char* path);
