// The screen as text: what a page shows of the game while its terminal is
// still loading, drawn from the same cells and glyphs as the present.
#pragma once

#include <string>

#include "platform/memory_console.h"
#include "platform/terminal_render.h"

// Marks in the text: the look from here on (each row starts normal), and a
// character that takes two columns (the next one).
constexpr char kBrightMark = '\x01';
constexpr char kNormalMark = '\x02';
constexpr char kWideMark = '\x03';

// The first `rows` rows of the console in UTF-8, a line each ending in '\n':
// every character as the terminal of the view draws it (one drawn a column
// narrower than its two cells followed by its blank), with the marks above.
std::string ScreenText(const TerminalView& view, const MemoryConsole& console, int rows);
