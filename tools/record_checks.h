// The data checker's work: every file of a data tree read as the game reads it,
// and every problem found listed.
#pragma once

#include "tools/data_problems.h"

// The hero, enemy and ability files: their items, then the values the game
// cannot play with (divisors of 0, HP that fells at once or wraps, a level of
// 0, an ability index out of range...). Loads the records with the game's loaders.
void FindRecordProblems(ProblemList& problems);

// The whole tree below the data folder: the records, then the map set.
void CheckDataTree(ProblemList& problems);
