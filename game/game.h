// The program's spine: start-up, the main loop, and the fatal stop.
#pragma once

#include <cstdint>

// The map set the game plays (always 1); its digit is part of the map paths.
extern uint16_t worldNumber;

// Loads every record and the map, draws the first field screen.
void StartGame();

// Alternates between the player's keys and the roaming enemies' steps, for ever.
[[noreturn]] void MainLoop();
// One pass of the main loop (the loop repeats it; tests drive it pass by pass).
void MainLoopPass();

// Erases the figure of roaming enemy `index` and closes the gap in the table.
void RemoveRoamingEnemy(int index);

// Blanks the console from (0, 0): 30 runs of 78 blanks, wrapped by the console.
void ClearConsole();

// Tells the player a data file is missing, waits 30 seconds and ends the
// program with status -1.
[[noreturn]] void FatalFileError();

// Tells the player a number in a data file is outside what the game can use
// (the file, what the number means, the number as the file writes it and the
// allowed range), then waits and ends the program as FatalFileError does.
[[noreturn]] void FatalDataError(const char* path, const char* what, const char* written, long long low,
                                 long long high);
