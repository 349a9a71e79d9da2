// Saving the hero's journey at safe points (after every screen change, at the
// end of every battle, when the player quits outside a battle), and continuing
// a saved journey. One save per data tree, in the state folder.
#pragma once

// Starts the game from this data tree's save: the hero, his screen and the gate
// as saved, the field drawn as after a screen change. Without a usable save it
// is a new game, as StartGame makes it, after one line (on the hint line, and
// again after exit) that says why; an unusable save is kept as a copy and stays
// in place until the first safe point replaces it.
void ContinueGame();

// From now on the safe points save, and the player's quit saves too.
void TurnOnSaving();

// A safe point: writes the save when saving is on. The first failure is shown
// on the hint line; play goes on either way.
void SaveAtSafePoint();

// Called when the player quits: saves unless a battle is under way, then leaves
// the line that says what was saved and how to continue.
void SaveOnQuit();

// Saving off and forgotten, as at program start (tests).
void ResetSaving();
