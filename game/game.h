// The program's spine: start-up and the main loop.
#pragma once

#include <cstdint>

// Loads every record and the map, and the placements of the start screen.
void LoadGame();
// LoadGame, then draws the first field screen.
void StartGame();

// Alternates between the player's keys and the roaming enemies' steps, for ever.
[[noreturn]] void MainLoop();
// One pass of the main loop (the loop repeats it; tests drive it pass by pass).
void MainLoopPass();

// Erases the figure of roaming enemy `index` and closes the gap in the table.
void RemoveRoamingEnemy(int index);

// Blanks the console from (0, 0): 30 runs of 78 blanks, wrapped by the console.
void ClearConsole();
