// The small window at the right of the battle screen that the item list and
// the ability list share: the marks around a line, and erasing a line or the
// title. Line k (1 to 5) stands on row menuTop + 2k.
#pragma once

constexpr int kMenuColumn = 54;       // where the title and the blanking runs start
constexpr int kMenuWidth = 20;        // columns 54 to 73
constexpr int kMenuLeftMark = 55;     // "＜"
constexpr int kMenuRightMark = 71;    // "＞"
constexpr int kMenuTitleRow = 0;
constexpr int kMenuLines = 5;

// The row of line k at the window's present offset.
int MenuLineRow(int k);

// "＜" and "＞" around line k, in the current attribute.
void DrawMenuMarks(int k);
// 20 blanks over line k.
void EraseMenuLine(int k);
// 20 blanks over the title on row 0.
void EraseMenuTitle();
// Lines 1 to 5 and the title.
void EraseMenuWindow();

// Line k slides down from row 0 to its resting row 2k, a row a step: each
// step draws the marks (bright for the cursor's line) and the line's text with
// drawText(k), pauses 1 ms, and is erased unless it is the last.
void SlideInMenuLine(int k, bool bright, void (*drawText)(int k));
