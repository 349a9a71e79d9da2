// The present step of the Win32 backend: compares what the game drew (the
// in-memory console, with the key help on the row below the game) with what
// the Windows console shows, and lists the console calls that bring the
// console up to date: changed characters only, each written whole. While the
// console window is smaller than the game, the size notice instead. Pure: the
// calls go into a list, so that they can be tested; win32_console.cpp makes them.
#pragma once

#include <string>
#include <vector>

#include "platform/memory_console.h"

// The console window needs at least this many columns and rows for the game.
constexpr int kWin32MinimumColumns = 80;
constexpr int kWin32MinimumRows = 21;
// The row of the key help: the first one below the game's rows.
constexpr int kWin32HelpRow = kWin32MinimumRows;

// One call on the Windows console.
struct Win32Call {
    enum Kind {
        kClear,      // every cell of the game's rows blank, in the normal attribute
        kPlace,      // SetConsoleCursorPosition(x, y)
        kAttribute,  // SetConsoleTextAttribute(attribute)
        kText,       // WriteConsoleA(text), Shift-JIS, whole characters
    } kind;
    int x = 0;
    int y = 0;
    unsigned attribute = 0;
    std::string text;
};

struct Win32View {
    ConsoleCell shown[kConsoleRows][kConsoleColumns];  // what the console shows
    int columns = kConsoleColumns;  // the console window's size
    int rows = kConsoleRows;
    bool repaint = true;            // clear the console and draw everything next time
    bool noticeShown = false;       // the console shows the size notice
    int attribute = -1;             // the attribute the console writes with; -1 unknown
};

// True while the console window is too small to show the game.
inline bool Win32TooSmall(const Win32View& view) {
    return view.columns < kWin32MinimumColumns || view.rows < kWin32MinimumRows;
}

// A fresh view: the next render clears the console and draws everything.
void ResetWin32View(Win32View& view, int columns, int rows);

// The window's size as last measured; a change clears and draws it anew.
void ResizeWin32View(Win32View& view, int columns, int rows);

// What the console should show: the game's cells, with the key help
// (Shift-JIS, "" for none) on its row when the window has that row.
void ComposeWin32Display(const MemoryConsole& console, const std::string& help, int windowRows, MemoryConsole& display);

// Appends the calls that bring the console from the view to `display`, and
// updates the view. Nothing when nothing changed.
void RenderWin32(Win32View& view, const MemoryConsole& display, std::vector<Win32Call>& calls);
