// The present step of the terminal backend: compares what the game drew (the
// in-memory console) with what the terminal shows and writes the escape
// sequences and UTF-8 text that bring the terminal up to date, changed cells
// only. Pure: the result goes into a string, so it can be tested.
#pragma once

#include <string>

#include "platform/memory_console.h"

// The terminal needs at least this many columns and rows to show the game.
constexpr int kMinimumColumns = 80;
constexpr int kMinimumRows = 21;
// The row of the key help: the first one below the game's rows.
constexpr int kHintRow = kMinimumRows;
// An update longer than this is sent as one synchronized update, which the
// terminal shows whole (terminals that lack synchronized output ignore it).
constexpr std::size_t kSynchronizeOver = 256;
constexpr char kBeginUpdate[] = "\x1b[?2026h";
constexpr char kEndUpdate[] = "\x1b[?2026l";

// What the terminal said when asked how wide it draws ●.
enum class AmbiguousWidth {
    kUnmeasured,  // no answer: drawn so that either width stays aligned
    kNarrow,      // one column: East Asian Ambiguous characters are narrow
    kWide,        // two columns
};

struct TerminalView {
    ConsoleCell shown[kConsoleRows][kConsoleColumns];  // what the terminal shows
    int columns = kConsoleColumns;  // the terminal's size
    int rows = kConsoleRows;
    bool ambiguousWide = false;     // the terminal draws ● ■ ※ and the like two columns wide
    bool widthsKnown = false;       // measured: the cursor is where the widths say after any character
    bool repaint = true;            // clear the terminal and draw everything next time
    bool noticeShown = false;       // the terminal shows the "too small" notice
    int cursorX = -1;               // where the terminal's cursor is; -1 unknown
    int cursorY = -1;
    int attribute = -1;             // the attribute the terminal writes with; -1 unknown
};

// True while the terminal is too small to show the game.
inline bool ViewTooSmall(const TerminalView& view) {
    return view.columns < kMinimumColumns || view.rows < kMinimumRows;
}

// What the terminal should show: the game's console, with the key help
// (Shift-JIS, "" for none) on its row below the game when the terminal has
// that row.
void ComposeDisplay(const MemoryConsole& console, const std::string& hint, int terminalRows, MemoryConsole& display);

// A fresh view of the given size: everything is drawn by the next render.
void ResetTerminalView(TerminalView& view, int columns, int rows, AmbiguousWidth ambiguous);

// The terminal changed size: the next render clears it and draws it anew.
void ResizeTerminalView(TerminalView& view, int columns, int rows);

// Appends to `out` what brings the terminal from the view to the console, and
// updates the view. Writes nothing when nothing changed; a long update is
// bracketed as one synchronized update.
void RenderConsole(TerminalView& view, const MemoryConsole& console, std::string& out);

// The UTF-8 text that shows the character at column x of a console row, with
// the blank that pads a two-cell character drawn one column wide, and how many
// cells the character takes (1 or 2).
std::string ShownText(const TerminalView& view, const ConsoleCell* row, int x, int& cells);

// True when two cells look alike on the terminal: same character and look, or
// both blank (a blank shows the same bright or not).
bool SameLook(const ConsoleCell& a, const ConsoleCell& b);
