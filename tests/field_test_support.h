// Small map sets for the field tests: layouts, header and placements written
// into a TempTree, and a world map set up directly in memory.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/test_support.h"

// 20 layout rows of 59 blanks, to be drawn on.
std::vector<std::string> BlankLayout();
// The rows joined by line breaks, as a layout file.
std::string LayoutFile(const std::vector<std::string>& rows, const std::string& lineBreak = "\n");

// Writes a whole map set 1 into the tree: nine blank layouts, the header and
// placement files with no enemies; tests then overwrite what they need.
void WriteBlankMapSet(const TempTree& tree, const std::string& header = "9 1 1 9 1 1 9 2 1 1");
void WritePlacements(const TempTree& tree, int screen, const std::string& text);

// Blank world, no spots, no enemies; the hero on `screen` at (x, y); the four
// battle kinds and the Queen and King get their glyphs.
void ResetField(int screen, int x, int y);
// Puts a byte into the grid at screen coordinates of a screen.
void PutCell(int screen, int row, int column, char byte = '#');
// The grid row of a screen as text (60 cells, bytes as they are).
std::string GridRow(int screen, int row);

// A fixture with the blank map set on disk and the hero on screen 5 at (28, 10).
class BlankFieldTest : public ::testing::Test {
protected:
    TempTree tree;
    void SetUp() override;
};
