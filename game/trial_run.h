// A trial run, for world authors trying a change: the hero put on a screen and
// cell of their choosing (--start), or every screen kept free of roaming
// enemies (--no-enemies). A trial run never saves: the player's save, and the
// lock that guards it, are not touched.
#pragma once

struct TrialRun {
    bool on = false;         // --start or --no-enemies was given
    bool placed = false;     // --start: the hero starts at screen, column, row
    int screen = 0;
    int column = 0;
    int row = 0;
    bool noEnemies = false;  // --no-enemies
};

// Reads "SCREEN,COLUMN,ROW" (screen 1 to 9, column 0 to 58, row 0 to 19) into
// the trial's place; false when it is not three such numbers.
bool ParseStartPlace(const char* text, TrialRun& trial);

// After the game has started: empties the screens of roaming enemies, puts the
// hero where asked (the screen then shows as on entering it: its figure, and
// the gate opened by it), and leaves the line after exit that says nothing
// was saved.
void BeginTrialRun(const TrialRun& trial);
