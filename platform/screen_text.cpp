#include "platform/screen_text.h"

#include "platform/terminal_glyphs.h"

std::string ScreenText(const TerminalView& view, const MemoryConsole& console, int rows) {
    std::string text;
    for (int y = 0; y < rows && y < kConsoleRows; ++y) {
        const ConsoleCell* row = console.cells[y];
        bool bright = false;
        for (int x = 0; x < kConsoleColumns;) {
            int cells = 1;
            std::string shown = ShownText(view, row, x, cells);
            // A blank looks the same either way: the look changes at text only.
            bool brightText = (row[x].attribute & 8) != 0;
            if (shown != " " && brightText != bright) {
                text += brightText ? kBrightMark : kNormalMark;
                bright = brightText;
            }
            if (cells == 2 && !DrawnNarrow(DoubleByteGlyph(row[x].byte, row[x + 1].byte), view.ambiguousWide)) {
                text += kWideMark;
            }
            text += shown;
            x += cells;
        }
        text += '\n';
    }
    return text;
}
