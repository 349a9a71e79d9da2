#include "game/world_identity.h"

#include <cstdint>
#include <cstdio>

#include "field/world_map.h"

namespace {

void Add(uint64_t& hash, unsigned char byte) { hash = (hash ^ byte) * 1099511628211ull; }

void AddSpot(uint64_t& hash, const ScreenSpot& spot) {
    for (int16_t value : {spot.screen, spot.column, spot.row}) {
        Add(hash, static_cast<unsigned char>(value & 0xFF));
        Add(hash, static_cast<unsigned char>((value >> 8) & 0xFF));
    }
}

}  // namespace

std::string WorldIdentity() {
    uint64_t hash = 14695981039346656037ull;
    for (const auto& row : worldMap.cells) {
        for (unsigned char cell : row) Add(hash, cell);
    }
    AddSpot(hash, queenSpot);
    AddSpot(hash, kingSpot);
    AddSpot(hash, gateSpot);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}
