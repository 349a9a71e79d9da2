#include "platform/memory_console.h"

namespace {

void BlankCell(ConsoleCell& cell) {
    cell.byte = ' ';
    cell.half = kSingleCell;
}

void NextRow(MemoryConsole& console) {
    console.cursorX = 0;
    console.cursorY += 1;
}

// Puts a character of width 1 or 2 at the cursor and advances it.
void PutCharacter(MemoryConsole& console, unsigned char lead, unsigned char trail, int width) {
    if (width == 2 && console.cursorX == kConsoleColumns - 1) {
        // A double-byte character never straddles two rows: the last column
        // stays blank and the character starts the next row.
        PutCharacter(console, ' ', 0, 1);
    }
    int x = console.cursorX;
    int y = console.cursorY;
    if (y >= 0 && y < kConsoleRows) {
        ConsoleCell* row = console.cells[y];
        // Overwriting half of a double-byte character blanks its other half.
        if (row[x].half == kTrailCell && x > 0) BlankCell(row[x - 1]);
        int last = x + width - 1;
        if (row[last].half == kLeadCell && last + 1 < kConsoleColumns) BlankCell(row[last + 1]);
        unsigned char attribute = static_cast<unsigned char>(console.attribute);
        if (width == 1) {
            row[x] = ConsoleCell{lead, attribute, kSingleCell};
        } else {
            row[x] = ConsoleCell{lead, attribute, kLeadCell};
            row[x + 1] = ConsoleCell{trail, attribute, kTrailCell};
        }
    }
    console.cursorX += width;
    if (console.cursorX >= kConsoleColumns) NextRow(console);
}

}  // namespace

void ResetMemoryConsole(MemoryConsole& console) {
    for (auto& row : console.cells) {
        for (auto& cell : row) cell = ConsoleCell{' ', kNormalAttribute, kSingleCell};
    }
    console.cursorX = 0;
    console.cursorY = 0;
    console.attribute = kNormalAttribute;
    console.pendingLead = -1;
}

bool PlaceMemoryCursor(MemoryConsole& console, int x, int y) {
    console.pendingLead = -1;
    if (x < 0 || y < 0 || x >= kConsoleColumns) return false;
    console.cursorX = x;
    console.cursorY = y;
    return true;
}

void WriteMemoryConsole(MemoryConsole& console, const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (console.pendingLead >= 0) {
            unsigned char lead = static_cast<unsigned char>(console.pendingLead);
            console.pendingLead = -1;
            if (byte >= 0x40 && byte != 0x7F) {
                PutCharacter(console, lead, byte, 2);
                continue;
            }
            // Not a trail byte: the lone lead byte shows as a blank.
            PutCharacter(console, ' ', 0, 1);
        }
        if (byte == '\n') {
            NextRow(console);
        } else if (IsLeadByte(byte)) {
            console.pendingLead = byte;
        } else {
            PutCharacter(console, byte, 0, 1);
        }
    }
}
