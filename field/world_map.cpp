#include "field/world_map.h"

uint16_t worldNumber = 1;
WorldMap worldMap;
ScreenSpot queenSpot;
ScreenSpot kingSpot;
ScreenSpot gateSpot;
RoamingEnemy roamingEnemies[kRoamingSlots];
int16_t roamingCount;

int ScreenRowOrigin(int screen) { return ((screen - 1) / 3) * kScreenRows; }

int ScreenColumnOrigin(int screen) { return ((screen - 1) % 3) * kScreenColumns; }

EnemyKind& KindRecord(int kind) {
    if (kind == 1) return enemyKinds[kPawn];
    if (kind == 3) return enemyKinds[kBishop];
    if (kind >= 4) return enemyKinds[kRook];
    return enemyKinds[kKnight];
}

const char* KindGlyph(int kind) { return KindRecord(kind).glyph; }
