// The screen layouts as the modder wrote them: the lines the game cannot read
// as rows (a wrong length, a tab, a full-width space), and the world as those
// lines mean it, so that one bad line is named once, in its own file, and does
// not make figures or ways on the sheared rows after it look wrong as well.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "field/world_map.h"
#include "tools/data_problems.h"

// One layout file as text: its CP932 bytes and where each line starts.
struct LayoutText {
    std::string path;
    std::string text;
    std::vector<std::size_t> lineStarts;
};

// Reads layout `screen` as text (converted from UTF-8 when it was saved so)
// and reports its encoding and its lines: lengths other than 59 bytes, tabs
// and other control characters, full-width spaces, fewer or more than 20 lines.
// The layout's path must be set and the file must open.
void CheckLayoutFile(ProblemList& problems, LayoutText& layout);

// Writes the screen's 60 x 20 cells as its lines mean them: line y on row y, cut
// at 60 bytes or filled with blanks, whatever the lines before it hold.
void PutMeantLayout(const LayoutText& layout, int screen, WorldMap& map);

// Line and column (from 1, in characters) of screen column x of row y.
std::pair<int, int> LayoutPlace(const LayoutText& layout, int y, int x);
