// The level-up window's contents: for the level, the six statistics and the
// experience, a label, the gain sliding in and the new value rising into place.
#pragma once

#include <cstdint>

// Labels, sliding gains and the experience count (a key completes the count).
void DrawLevelUpGains();
// The eight new values, each rising from the bottom row to its own.
void DrawLevelUpValues();

// With the cursor at the "+" column of a row: the "+" and the gain new - old
// counted up, each number sliding in from the right.
void SlideGain(uint16_t newValue, uint16_t oldValue);
// Moves ":     value" up from startRow to targetRow.
void RiseValue(uint32_t value, int startRow, int targetRow);
