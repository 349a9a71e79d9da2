// A small model of a terminal's screen, fed with what a program writes to it:
// the escape sequences a full-screen program uses to place the cursor, erase,
// delete and insert cells and scroll a region, and UTF-8 text in which East Asian Wide characters take two columns
// and every other character one (a terminal set up for Western text, which
// draws ● ■ ※ one column wide). Colours, attributes and DEC private modes are
// read and ignored; autowrap is taken as off, as the game sets it. The model
// also collects the answers a terminal owes, such as a cursor position report.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ScreenCell {
    char32_t character = U' ';
    bool rightHalf = false;  // the second column of the wide character to its left
};

struct ScreenModel {
    int columns = 0;
    int rows = 0;
    std::vector<ScreenCell> cells;  // row by row
    int cursorX = 0;                // 0-based
    int cursorY = 0;
    int scrollTop = 0;              // the scroll region's rows, inclusive
    int scrollBottom = 0;

    // The parser: where it is within an escape sequence or a UTF-8 character.
    enum class State { kText, kEscape, kEscapeIntermediate, kCsi, kString, kStringEscape } state = State::kText;
    std::string parameters;    // a CSI sequence's parameter and intermediate bytes
    char32_t pending = 0;      // a UTF-8 character's bits so far
    int continuationLeft = 0;  // UTF-8 continuation bytes still expected

    std::string replies;  // bytes the terminal sends back, in order; the caller takes them
};

// A blank screen of the given size, the cursor at the top left.
void ResetScreenModel(ScreenModel& screen, int columns, int rows);

// Takes bytes a program wrote to the terminal.
void FeedScreenModel(ScreenModel& screen, const char* bytes, std::size_t count);
inline void FeedScreenModel(ScreenModel& screen, const std::string& bytes) {
    FeedScreenModel(screen, bytes.data(), bytes.size());
}

// Columns a character takes: 2 for East Asian Wide and Fullwidth, else 1.
int CharacterColumns(char32_t character);

// The character shown at a cell; U' ' outside the screen, 0 on the right half
// of a wide character.
char32_t ScreenCharacter(const ScreenModel& screen, int row, int column);

// Columns [from, to) of a row as UTF-8 text, a wide character once (where its
// left half lies within).
std::string ScreenText(const ScreenModel& screen, int row, int from, int to);

// A whole row as UTF-8 text, trailing blanks dropped.
std::string ScreenRowText(const ScreenModel& screen, int row);

// True when every cell shows the same character in both (same size only).
bool SameScreenText(const ScreenModel& a, const ScreenModel& b);

// The first cell, row by row, where the two differ; false when none does.
bool FirstDifference(const ScreenModel& a, const ScreenModel& b, int& row, int& column);
