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
