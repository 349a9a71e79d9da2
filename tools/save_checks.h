// The data checker's look at a save file: its items as the game reads them,
// then whether it belongs to the data tree's world.
#pragma once

#include <string>

#include "tools/data_problems.h"

// Adds the save's problems, one line each, named by the file's path. The data
// tree's records and map must have been checked (read) first.
void CheckSaveFile(ProblemList& problems, const char* path);

// The data tree a save of an earlier version names; "" for a save of today's
// layout, which names its world and not a folder, or when it cannot be read.
std::string SaveTree(const char* path);
