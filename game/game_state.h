// Every global of the game back to how the program starts, before anything is
// loaded: for tests and tools that run the whole game more than once in one
// process.
#pragma once

void ResetGameState();
