// The data checker's look at a save file: its items as the game reads them,
// then whether it fits the data tree (made for it).
#pragma once

#include <string>

#include "tools/data_problems.h"

// Adds the save's problems, one line each, named by the file's path. The data
// tree's records and map must have been checked (read) first.
void CheckSaveFile(ProblemList& problems, const char* path);

// The data tree a save names, "" when its tree item cannot be read.
std::string SaveTree(const char* path);
