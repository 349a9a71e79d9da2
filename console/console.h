// The console contract every drawing follows: one shared cursor, one colour
// attribute, two ways of writing text, the key codes and the confirm wait.
#pragma once

#include <cstdint>

#if defined(__GNUC__) || defined(__clang__)
#define CHESSRPG_PRINTF(formatIndex, firstIndex) __attribute__((format(printf, formatIndex, firstIndex)))
#else
#define CHESSRPG_PRINTF(formatIndex, firstIndex)
#endif

// The position of the last placement: X is the column, Y the row. Routines move
// on from it (one row down, two columns left) and place the cursor again.
struct ConsoleCursor {
    int16_t X;
    int16_t Y;
};

extern ConsoleCursor consoleCursor;
// The current colour attribute: 0 until the first change, then 7 or 15.
extern uint16_t textAttribute;
// Origins of the battle screen's left panel (1 at rest) and right side (25 at rest).
extern int16_t panelColumn;
extern int16_t viewColumn;

constexpr uint16_t kAttributeNormal = 7;
constexpr uint16_t kAttributeBrightBit = 8;

constexpr int KeyEnter = 13;
constexpr int KeySpace = 32;
constexpr int KeyUp = 72;
constexpr int KeyLeft = 75;
constexpr int KeyRight = 77;
constexpr int KeyDown = 80;

// Stores (x, y) in consoleCursor and places the console's cursor there; the
// console refuses a negative coordinate and the cursor then stays put.
void SetCursor(int x, int y);
void SetNormal();
void SetBright();
// printf-style output at the cursor, no line break added.
void WriteText(const char* format, ...) CHESSRPG_PRINTF(1, 2);
// The text followed by a line break (column 0 of the next row).
void WriteLine(const char* text);
void Sleep(unsigned milliseconds);

// Marks the end of one frame of an animation that has no pause of its own:
// the console shows the frame whole before the next one is drawn.
void ShowFrame();

// True when a key code can be read at once; never waits.
bool KeyWaiting();
// One key code; waits for a key when none is there.
int ReadKey();
// The wall clock in whole seconds: the battle's dice and the fatal stop's wait.
long long WallClockSeconds();
// Down, right or Enter: the keys that end a wait after a battle message.
bool ConfirmKey(int code);
// Reads and drops keys until a confirm key is read.
void WaitForConfirmKey();
// A menu's wait for its next key, with the menu's key help shown: only a key
// takes the choice on, so the wait is in ReadKey, never a poll.
int ReadMenuKey(const char* keyHelp);

// The line shown below the game (Shift-JIS): the keys that act now, or a
// notice such as why the game cannot save. It stays until another is shown.
void ShowKeyHint(const char* text);
