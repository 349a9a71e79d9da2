// The program's life: its start and its ends, the lines it leaves on the normal
// screen once the console is given back, and its clocks. Implemented by the
// same backend as the console (console_io.h).
#pragma once

// The entry point, once, before anything is drawn: the console made ready and given back on every way out.
// Ready means raw keyboard, hidden cursor, code page; given back as it was.
void PlatformStart();

// The saving and the fatal stop: the game's handler for the player's ending the game, and Ctrl+C's status.
// The backend calls the handler once when the player ends the game (Ctrl+C,
// the terminal or window closed), at a point where the game may act (never
// inside a signal handler), before the console is given back; Ctrl+C then
// ends the program with the status (a closed terminal ends it as its signal
// does). Null: nothing to call. Not called on a crash or when the game itself exits.
void PlatformOnQuit(void (*handler)(), int status);

// The fatal stop and the game's end: gives the console back as it was and ends the program with the status.
[[noreturn]] void PlatformExit(int status);

// The fatal stop and the saving: a line (Shift-JIS) printed on the normal screen after exit.
// Printed once the console has been given back, after the lines left before it.
void PlatformLeaveLine(const char* text);

// The fatal stop: likewise the label (Shift-JIS) followed by the full path of a data file.
// The path is relative to the data tree with '\' separators; it is printed as
// this system writes a full path.
void PlatformLeavePath(const char* label, const char* path);

// The saving: likewise the label (Shift-JIS) followed by a command line in the system's own characters.
// The command is printed as the system gave it (the program's path, an
// environment variable): UTF-8 on Linux, macOS and in the browser.
void PlatformLeaveCommand(const char* label, const char* command);

// The console's Sleep: shows what was written, then pauses for the given milliseconds.
void PlatformSleep(unsigned milliseconds);

// The fatal stop's wait and the battle's dice: the wall clock in whole seconds.
long long PlatformSeconds();

// The journal: a monotonic clock in milliseconds (the virtual clock headless), for when keys come.
long long PlatformMilliseconds();
