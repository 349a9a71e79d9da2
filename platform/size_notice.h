// The notice shown instead of the game while the terminal or console window
// is smaller than the game needs: Japanese first, English below.
#pragma once

#include <string>
#include <vector>

// The notice's lines for a screen of the given size, in Shift-JIS (a byte is
// a column), as many as the screen has rows; each is cut at a character's
// edge to fit the width, and the last row's to one column less, so that
// nothing is written on the bottom-right cell.
std::vector<std::string> SizeNoticeLines(int columns, int rows);
