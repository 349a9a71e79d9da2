// Saving the hero's journey at safe points (after every screen change, at the
// end of every battle, when the player quits outside a battle), and beginning
// a game: continuing the journey saved for this world, or a new one. One save
// per world, in the state folder.
#pragma once

#include <string>

// How a game begins when a journey is saved for its world: ask the player
// (continuing is the default), or as the command line answered in advance.
enum class JourneyStart { kAsk, kContinue, kNew };

// A new game's first save sets the journey saved before aside; this many of
// them are kept, the newest as save-....aside-1.txt.
constexpr int kJourneysKept = 10;

// Loads the game, then, when a journey is saved for this world, continues it
// or starts a new one as `how` says; draws the first field screen; from then
// on the safe points save, and the player's quit saves too. Without a usable
// save it is a new game, after one line (below the field, and again after
// exit) that says why; an unusable save is kept as a copy and stays in place
// until the first safe point replaces it. `continueCommand` is how the player
// starts this copy of the game again, for the line left after exit. True
// when a saved journey was continued (its screen's standing figure is drawn).
bool BeginJourney(JourneyStart how, const std::string& continueCommand);

// A safe point: writes the save when saving is on. The first failure is shown
// below the field; play goes on either way.
void SaveAtSafePoint();

// Called when the player quits: saves unless a battle is under way, then leaves
// the line that says what was saved and how to continue.
void SaveOnQuit();

// Saving off and forgotten, as at program start (tests).
void ResetSaving();
