// An 80-column console held in memory: what the Windows console does for this
// game, and no more. The terminal backend renders it; the headless backend lets
// tests read it.
#pragma once

#include <cstddef>

constexpr int kConsoleColumns = 80;
constexpr int kConsoleRows = 30;
constexpr unsigned kNormalAttribute = 7;

// Which part of a character a cell holds.
enum CellHalf : unsigned char {
    kSingleCell = 0,  // a single-byte character
    kLeadCell = 1,    // the left cell of a double-byte character (its lead byte)
    kTrailCell = 2,   // the right cell of a double-byte character (its trail byte)
};

struct ConsoleCell {
    unsigned char byte;
    unsigned char attribute;
    unsigned char half;
};

struct MemoryConsole {
    ConsoleCell cells[kConsoleRows][kConsoleColumns];
    int cursorX;
    int cursorY;
    unsigned attribute;
    int pendingLead;  // lead byte written without its trail byte yet, or -1
};

// True for the first byte of a double-byte Shift-JIS character.
inline bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Blank cells in the normal attribute, cursor at (0, 0).
void ResetMemoryConsole(MemoryConsole& console);

// Moves the cursor; refuses (false) a negative coordinate or a column past the
// last, as the Windows console does, and keeps the cursor where it was.
bool PlaceMemoryCursor(MemoryConsole& console, int x, int y);

// Writes bytes at the cursor. A double-byte character fills two cells and does
// not start on the last column (it moves to the next row); past column 79 the
// text wraps; '\n' goes to column 0 of the next row; writing over one half of a
// double-byte character blanks its other half; rows below the console are lost.
void WriteMemoryConsole(MemoryConsole& console, const char* bytes, std::size_t count);
