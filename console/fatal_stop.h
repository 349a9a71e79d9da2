// The fatal stops: a data file the game cannot read ends the program, after
// lines that say so, on the console and again on the shell's screen.
#pragma once

// Tells the player a data file is missing, waits 30 seconds and ends the
// program with status -1.
[[noreturn]] void FatalFileError();

// Tells the player a number in a data file is outside what the game can use
// (the file, what the number means, the number as the file writes it and the
// allowed range), then waits and ends the program as FatalFileError does.
[[noreturn]] void FatalDataError(const char* path, const char* what, const char* written, long long low,
                                 long long high);
