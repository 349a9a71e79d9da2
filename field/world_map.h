// The world map: nine 60 x 20 screens laid out three by three in one 180 x 60
// grid of single-byte cells, the map header's spots, and the roaming enemies
// of the current screen.
#pragma once

#include <cstdint>

#include "records/records.h"

constexpr int kWorldColumns = 180;
constexpr int kWorldRows = 60;
constexpr int kScreenColumns = 60;
constexpr int kScreenRows = 20;
constexpr int kScreenCount = 9;
constexpr int kRoamingSlots = 5;

// Row by row: the cell in grid row i and column j is cells[i][j]. A blank is
// open ground; every other byte is an obstacle.
struct WorldMap {
    unsigned char cells[kWorldRows][kWorldColumns];
};

// A place named by the map header; column and row are 1-based.
struct ScreenSpot {
    int16_t screen;
    int16_t column;
    int16_t row;
};

// An enemy figure on the current screen.
struct RoamingEnemy {
    int32_t kind;       // 1 Pawn, 2 Knight, 3 Bishop, 4 Rook
    int32_t groupSize;  // how many the battle it starts puts up
    int32_t x;          // screen column of the figure's left cell
    int32_t y;          // screen row
};

// The map set the game plays (always 1); its digit is part of the map paths.
extern uint16_t worldNumber;
extern WorldMap worldMap;
extern ScreenSpot queenSpot;
extern ScreenSpot kingSpot;
extern ScreenSpot gateSpot;
extern RoamingEnemy roamingEnemies[kRoamingSlots];
extern int16_t roamingCount;

// Origins of screen n (1 to 9) in the grid.
int ScreenRowOrigin(int screen);
int ScreenColumnOrigin(int screen);

// The enemy kind of a placement's kind number: 1 Pawn, 3 Bishop, 4 or more
// Rook, any other value Knight.
EnemyKind& KindRecord(int kind);
const char* KindGlyph(int kind);
