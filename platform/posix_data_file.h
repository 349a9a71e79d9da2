// Finding and opening data files on Linux and macOS, shared by the program, the
// headless backend and the tools, so that all of them read the same tree alike.
#pragma once

#include <cstdio>
#include <string>

// The path of `relative` ('/' separated) below `base`, each part matched
// without regard to case when it is not there as written (the data tree comes
// from a system whose file names ignore case).
std::string FindPath(const std::string& base, const std::string& relative);

// Opens the data file `path` ('\' separated) below `base`, found as FindPath
// finds it, as OpenRegularFile opens it.
std::FILE* OpenDataFile(const std::string& base, const char* path);

// Opens the file at `path` for reading, bytes as they are. Only a regular file
// opens, and the call never blocks: a folder, a pipe or a device is as good
// as missing. Null on failure, errno saying why (ENOENT not there, EISDIR a
// folder, ENODEV another kind of non-regular file, EACCES not readable).
std::FILE* OpenRegularFile(const std::string& path);
