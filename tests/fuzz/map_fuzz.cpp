// Fuzz targets for the map files, through the game's own loaders. Built three
// times, with FUZZ_LAYOUT, FUZZ_HEADER or FUZZ_PLACEMENTS. A value the game
// refuses ends the load through the fatal stop (FuzzStop); whatever is loaded
// must then be safe to use.
#include <cstdlib>

#include "field/map_files.h"
#include "field/world_map.h"
#include "game/game.h"
#include "records/records.h"
#include "tests/fuzz/fuzz_platform.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetInput(data, size);
#if defined(FUZZ_LAYOUT)
    for (int screen = 1; screen <= kScreenCount; ++screen) LoadScreenLayout("map_form\\map1\\", screen);
    for (const auto& row : worldMap.cells) {
        for (unsigned char cell : row) Require(cell != '\n' && cell != 0xFF);
    }
#elif defined(FUZZ_HEADER)
    hero.screenNo = 1;
    try {
        LoadMapHeader("map_info\\map1.txt");
        Require(hero.screenNo >= 1 && hero.screenNo <= kScreenCount);
    } catch (const FuzzStop&) {
    }
#elif defined(FUZZ_PLACEMENTS)
    hero.screenNo = 5;
    try {
        LoadPlacements(worldNumber);
        Require(roamingCount >= 0 && roamingCount <= kRoamingSlots);
        for (int i = 0; i < roamingCount; ++i) {
            const RoamingEnemy& entry = roamingEnemies[i];
            Require(entry.x >= 0 && entry.x <= kScreenColumns - 2 && entry.y >= 0 && entry.y < kScreenRows);
            Require(entry.groupSize >= 1 && entry.groupSize <= kInstanceSlots);
        }
    } catch (const FuzzStop&) {
    }
#endif
    return 0;
}
