// The game's only window on the operating system. The console primitives call
// these functions; one backend implements them (terminal, headless for tests,
// Win32), chosen when the program is linked. Nothing here is game logic.
#pragma once

#include <cstddef>
#include <cstdio>

// Called once by the program entry before anything is drawn: readies the console
// (raw keyboard, hidden cursor, code page) and arranges for it to be given back
// as it was on every way out.
void PlatformStart();

// Makes the folder that holds the game's data tree the working directory: the
// named folder and no other when one is given, else the first folder of
// PlatformDataFolder's list that holds the data. False when none was entered.
bool PlatformEnterDataDirectory(const char* folder);

// Whether a folder named on the command line can hold a data tree: it is a
// folder, and it can be entered and listed. Looks without opening anything,
// so a pipe never waits. False with the reason (English, one line) when not.
// Called before PlatformStart.
bool PlatformCheckDataFolder(const char* folder, char* why, std::size_t whySize);

// The n-th folder (from 0) searched for the data tree when none is named, for
// the help text; null past the last.
const char* PlatformDataFolder(int n);

// Places the cursor at column x, row y. A negative coordinate is refused: the
// result is false and the cursor stays where the last write left it.
bool PlatformPlaceCursor(int x, int y);

// Sets the colour attribute of the following writes (7 normal, 15 bright).
void PlatformSetAttribute(unsigned attribute);

// Writes Shift-JIS bytes at the cursor; a '\n' goes to column 0 of the next row.
// The text is on the console (or queued to be shown) when this returns.
void PlatformWrite(const char* bytes, std::size_t count);

// True when a key code can be read at once. Never blocks for long: when polled
// in vain again and again it may wait a few milliseconds, returning the moment
// a key arrives, so that polling loops do not burn a core.
bool PlatformKeyWaiting();

// One key code, unechoed, waiting for a key if none is there. An arrow key gives
// two codes in two reads: 224, then 72 (up), 75 (left), 77 (right) or 80 (down).
int PlatformReadKey();

// Shows what was written, then pauses for the given milliseconds.
void PlatformSleep(unsigned milliseconds);

// Shows one short line of key help (Shift-JIS) below the game's rows, where the
// backend has room for it; "" takes it away. The game's cells stay as they are.
void PlatformShowHint(const char* text);

// Called after each frame of an animation that has no pause of its own (the
// field's scroll): the backend shows the frame whole, as a frame of its own.
void PlatformShowFrame();

// A line (Shift-JIS) to print on the normal screen once the console has been
// given back at exit, after the lines left before it.
void PlatformLeaveLine(const char* text);

// Likewise the label (Shift-JIS) followed by the full path of a data file,
// given relative to the data tree with '\' separators, as this system writes it.
void PlatformLeavePath(const char* label, const char* path);

// The wall clock in whole seconds.
long long PlatformSeconds();

// Opens a data file for reading, bytes as they are; the path is relative to the
// working directory and uses '\' as its separator. Only a regular file opens,
// without ever waiting: a folder, a pipe or a device counts as missing. Null
// when it cannot be opened, errno saying why (ENOENT missing, EISDIR a folder,
// ENODEV another file that is not a regular one, EACCES not readable).
std::FILE* PlatformOpenFile(const char* path);

// Names a function of the game's that the backend calls once when the player
// ends the game (Ctrl+C, the terminal or window closed), at a point where the
// game may act (never inside a signal handler), before the console is given
// back, and the status that Ctrl+C then ends the program with (a closed
// terminal ends it as its signal does). Null: nothing to call. Not called on
// a crash or when the game itself exits.
void PlatformOnQuit(void (*handler)(), int status);

// Gives the console back as it was and ends the program with the status.
[[noreturn]] void PlatformExit(int status);

// The data tree's full path as the system spells it (the working directory once
// PlatformEnterDataDirectory has run; in the browser, the data folder's
// address): a save belongs to one tree. False when it cannot be told.
bool PlatformDataTreePath(char* path, std::size_t size);

// Opens a file of the game's state folder ($XDG_STATE_HOME/chessrpg, else
// ~/.local/state/chessrpg; %LOCALAPPDATA%\chessrpg on Windows; the page's
// localStorage in the browser) for reading, bytes as they are. Only a regular
// file opens, never through a link, and never waiting (a pipe is "not a
// regular file"); a folder that is not the player's own, or that others may
// write in, is not used. Null when it cannot: `why` is then "" if the file
// does not exist, else the reason (Shift-JIS, for the player).
std::FILE* PlatformOpenStateFile(const char* name, char* why, std::size_t whySize);

// Writes a file of the state folder whole, making the folder when it is missing:
// a new file, created exclusively beside the old one and never through a link,
// flushed to disk, then renamed over the old one, so that at every moment the
// old file or the new one is there, whole. New files left by writers that are
// gone are removed. False, with the reason (Shift-JIS, for the player), when
// it could not; "" when the platform keeps no saves at all (nothing to tell).
bool PlatformWriteStateFile(const char* name, const char* bytes, std::size_t count, char* why,
                            std::size_t whySize);

// Takes the lock named `name` in the state folder, held until the program
// ends, so that one running game at a time writes a save. kBusy: another
// running game holds it. kUnavailable: the folder cannot be used (the reason
// in `why`, Shift-JIS). Where the system has no locks, it counts as held.
enum class StateLock { kHeld, kBusy, kUnavailable };
StateLock PlatformLockStateFile(const char* name, char* why, std::size_t whySize);

// Like PlatformLeaveLine: the label (Shift-JIS) followed by the full path of a
// file of the state folder.
void PlatformLeaveStatePath(const char* label, const char* name);
