// The map tools' platform: where their data files are read from.
#pragma once

// Data file paths are taken relative to this folder ("." at first).
void SetToolDataRoot(const char* root);

// Console output is dropped (a recording replayed by the data checker).
void SetToolConsoleQuiet(bool quiet);
// Called with the status when the game ends the program, instead of ending it.
void SetToolExitHook(void (*hook)(int status));
