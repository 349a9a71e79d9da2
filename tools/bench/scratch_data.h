// Data trees the benchmarks write for themselves: a copy of the shipped tree
// under $TMPDIR, removed again when it goes out of scope, which a measure may
// change (no roaming enemies; a small world with one Pawn next to the hero).
#pragma once

#include <string>

struct ScratchData {
    std::string root;  // the temporary folder; empty when it could not be made
    std::string data;  // root + "/data", the tree the game reads
    ScratchData() = default;
    ~ScratchData();
    ScratchData(const ScratchData&) = delete;
    ScratchData& operator=(const ScratchData&) = delete;
};

// Copies the data tree `shipped` into a fresh temporary folder. On failure
// returns false and says why in `error`.
bool MakeScratchData(ScratchData& scratch, const std::string& shipped, std::string& error);

// Writes a file of the tree (path relative to it, '/' between parts), bytes
// as they are.
bool WriteDataFile(const ScratchData& scratch, const std::string& path, const std::string& bytes, std::string& error);

// Sets the speed (the eleventh item) of an enemy kind's file in Enemy_Info.
bool SetEnemySpeed(const ScratchData& scratch, const std::string& file, int speed, std::string& error);

// Writes 0 into every placement file: no roaming enemy on any screen.
bool ClearPlacements(const ScratchData& scratch, std::string& error);

// A world of nine walled, empty screens with the hero at column 20, row 10 of
// screen 1 and one Pawn of speed 0 three steps to his right, so that it
// reaches him within a second and a flee cannot fail. The layout's row 2
// holds kSmallWorldMarker.
bool WriteSmallWorld(const ScratchData& scratch, std::string& error);

extern const char kSmallWorldMarker[];

// The small world with the hero at column 54, row 10 of screen 1 and
// `figures` Pawns (1 to 5) at column 2: the first on his row, the others on
// rows 4, 6, 14 and 16. Each closes in two columns a step, one pause a step,
// for many steps; only the first stands on the hero's row.
bool WriteChaseWorld(const ScratchData& scratch, int figures, std::string& error);

// The small world with no figure, the hero at column 57, row 10 of screen 1,
// and row 10 open into screen 2, whose row 5 holds a lone 'o' at column 58
// where screen 1 has its wall: a step right scrolls into screen 2.
bool WriteScrollWorld(const ScratchData& scratch, std::string& error);
