// The console and the keyboard. The game's console primitives
// (console/console.cpp) call them; the backend linked in implements them: the
// terminal, the browser, the Win32 console, or the headless console of the
// tests.
#pragma once

#include <cstddef>

// SetCursor: the cursor to column x, row y; a negative coordinate is refused.
// Refused, the result is false and the cursor stays where the last write left it.
bool PlatformPlaceCursor(int x, int y);

// SetNormal, SetBright: the colour attribute of the writes that follow (7 normal, 15 bright).
void PlatformSetAttribute(unsigned attribute);

// WriteText, WriteLine: Shift-JIS bytes at the cursor, on the console (or queued to show) on return.
// A '\n' goes to column 0 of the next row.
void PlatformWrite(const char* bytes, std::size_t count);

// KeyWaiting: true when a key code can be read at once; never blocks for long.
// Polled in vain again and again it may wait a few milliseconds, returning the
// moment a key arrives, so that polling loops do not burn a core.
bool PlatformKeyWaiting();

// ReadKey: one key code, unechoed, waiting for a key if none is there.
// An arrow key gives two codes in two reads: 224, then 72 (up), 75 (left),
// 77 (right) or 80 (down).
int PlatformReadKey();

// ShowKeyHint: one line of key help below the game's rows.
// Shift-JIS, shown where the backend has room for it; "" takes it away. The
// game's cells stay as they are.
void PlatformShowHint(const char* text);

// ShowFrame, after each frame of an animation with no pause of its own (the field's scroll):
// the frame is shown whole, as a frame of its own, at the frames' pace.
void PlatformShowFrame();
