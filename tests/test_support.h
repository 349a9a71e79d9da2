// Helpers shared by the tests: small data trees written on the fly, and the
// headless screen read back as UTF-8 text.
#pragma once

#include <string>

#include "platform/headless.h"

// A fresh folder under the system's temporary directory, removed by the test's end.
struct TempTree {
    std::string root;
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;
    // Writes a file below the root; the path uses '/', the text is written as given.
    void Write(const std::string& path, const std::string& bytes) const;
    // Writes UTF-8 text converted to Shift-JIS.
    void WriteSjis(const std::string& path, const std::string& utf8) const;
    void Remove(const std::string& path) const;
};

// Copies the shipped data tree into a TempTree (tests that change one file).
void CopyShippedData(const TempTree& tree);

// Columns [from, to) of a headless screen row, converted to UTF-8.
std::string ScreenText(int row, int from = 0, int to = 80);
// The same, trailing blanks removed.
std::string ScreenLine(int row);
// A row as the player sees it: full-width blanks read as two blanks, trailing
// blanks dropped.
std::string ScreenVisible(int row);
unsigned ScreenAttribute(int column, int row);
int CursorColumn();
int CursorRow();

// Shift-JIS bytes of UTF-8 text, for building expected texts and data.
std::string Sjis(const std::string& utf8);

// `count` blanks, and a piece repeated `count` times, for expected screen rows.
std::string Blanks(int count);
std::string Repeat(const std::string& piece, int count);
