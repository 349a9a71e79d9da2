// The map files: nine screen layouts, the map header and one placement file per
// screen, read into the world map, the header's spots and the roaming table.
#pragma once

#include <cstdint>

// A number in a map file (or the hero's start position) that the game cannot
// use, and the range it must keep to.
struct MapValueError {
    char path[40];
    char what[40];
    int item;  // the number's place among the file's items, counted from 1
    long long value;
    char written[24];  // the number as the file writes it (the value when the file does not hold it)
    long long low;
    long long high;
};

constexpr int kMapErrorSlots = 16;

// The unusable numbers found while reading; past kMapErrorSlots only the count grows.
struct MapErrors {
    MapValueError list[kMapErrorSlots];
    int count;
};

// Paths of a map set's files, with the backslash the data files are named with.
void LayoutPrefix(char (&path)[40], int world);              // "map_form\map1\"
void MapHeaderPath(char (&path)[40], int world);             // "map_info\map1.txt"
void PlacementPath(char (&path)[40], int world, int screen); // "map_info\map1\5.txt"

// Reads the nine layouts and the header of map set `world`; a missing file
// stops the game (FatalFileError), an unusable header value too (FatalDataError).
void LoadWorldMap(uint16_t world);
// Reads layout `screen` (1 to 9) from prefix + digit + ".txt" into its region.
void LoadScreenLayout(const char* prefix, int screen);
// Reads the header into queenSpot, kingSpot, gateSpot and the hero's screenNo.
void LoadMapHeader(const char* path);
// Clears the roaming table and reads the placement file of the current screen.
void LoadPlacements(uint16_t world);
// Set for a trial run without enemies: LoadPlacements still reads every file
// (a wrong one still stops the game), then leaves the table empty.
extern bool roamingEnemiesOff;

// The same readings without stopping the game, for tools: each returns false
// when its file cannot be opened, and notes every unusable number in errors.
// 1200 characters without regard to lines: a line break, 0xFF and everything
// past the end of the file are blanks; characters after the 1200th are not read.
bool ReadScreenLayout(const char* path, int screen);
// Values that cannot be read keep what the fields held before.
bool ReadMapHeader(const char* path, MapErrors& errors);
// Never fills more than the table's 5 entries, whatever the count says.
bool ReadPlacements(const char* path, MapErrors& errors);
// The hero's start position must leave the whole two-column figure on the screen.
void FindHeroStartErrors(MapErrors& errors);

// Stops the game with the first unusable number, if there is one.
void StopOnMapErrors(const MapErrors& errors);
