// The field screen: drawing the current screen, the walk test, the hero's
// moves, passing between screens, the Queen's and King's figures and the gate.
#pragma once

#include "field/world_map.h"

// What the walk test allows.
enum StepResult {
    kStepBlocked = 0,    // nothing happens, not even a redraw
    kStepFull = 1,       // one row, or two columns
    kStepOneColumn = 2,  // one column sideways
    kStepLeave = 3,      // into the neighbouring screen
};

// The cell at screen coordinates (row, column) of a screen. Coordinates just
// outside the screen reach into the neighbouring screen; a cell outside the
// world reads as an obstacle.
unsigned char ScreenCell(int screen, int row, int column);
bool OpenCell(int screen, int row, int column);

// The walk test for a two-column figure at (x, y) of a screen and an arrow's
// key code; any other code gives kStepFull.
StepResult CheckStepAt(int screen, int x, int y, int key);
// The walk test at the hero's position.
StepResult CheckHeroStep(int key);

// Draws the current screen, its roaming enemies and the hero from (0, 0).
void DrawFieldScreen();
void DrawGlyphAt(const char* glyph, int x, int y);

// Handles one key code for the hero: a blocked arrow does nothing; every other
// code erases the hero and draws him again, after his step if it is an arrow.
void MoveHero(int key);

// Passes to the neighbouring screen in the direction of an arrow's key code,
// with a scroll, and shows the new screen's enemies and standing figure.
void ChangeScreen(int key);

// Names a function that ChangeScreen calls once the new screen is shown
// whole, a moment when the game may be saved; null for none. The game's top
// floor registers its safe point here: the field below cannot call it.
void OnScreenChanged(void (*hook)());
// One frame of the scroll: the 60 x 20 window at `offset` columns (H) or rows
// (V) from the current screen's origin.
void DrawScrollFrameH(int offset);
void DrawScrollFrameV(int offset);

// After a screen change: the Queen's figure when the hero is on her screen, else
// the King's on his (each opens the gate).
void DrawScreenFigure();
// Draws the Queen's or King's figure in bright white and opens the gate.
void DrawStandingFigure(const char* glyph, const ScreenSpot& spot);
// Blanks the gate's 10 x 2 block of the grid; the console is not redrawn.
void OpenGate();
// True when every cell of that block is blank (opened, or open in the layout).
bool GateIsOpen();
