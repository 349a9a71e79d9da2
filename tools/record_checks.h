// The data checker's work: every file of a data tree read as the game reads it,
// and every problem found listed.
#pragma once

#include "tools/data_problems.h"

// The hero, enemy and ability files: their encoding, their items, then the
// values the game cannot play with (divisors of 0, HP that fells at once or
// wraps, a level of 0, an ability index out of range, names wider than the
// window or banner that shows them...). Loads the records with the game's loaders.
void FindRecordProblems(ProblemList& problems);

// The longest name, in bytes, that the screens show whole: on line index + 1
// of the ability list, before its closing mark; on the enemy banner of a kind
// number (1 to 6), before its right side.
int AbilityNameLimit(int index);
int BannerNameLimit(int kindNo);

// The whole tree below the data folder: the records, then the map set. The
// list's root (the folder as the modder named it) is kept.
void CheckDataTree(ProblemList& problems);
