// The numbers of a data tree at a glance, for the world picture's --stats: the
// hero, each enemy kind with the experience one of its kind brings, and the
// abilities with the level from which the hero has each.
#pragma once

#include <string>

// UTF-8 text, at most 80 columns wide. The records and the map header must
// have been read.
std::string StatsText(bool english);
