// Fuzz targets for the hero, enemy and ability files. Built three times, with
// FUZZ_HERO, FUZZ_ENEMY or FUZZ_ABILITY. Beyond the sanitizers' checks, every
// string field must end inside its field and never in half a character.
#include <cstdlib>
#include <cstring>

#include "records/records.h"
#include "platform/memory_console.h"
#include "tests/fuzz/fuzz_platform.h"

namespace {

void CheckString(const char* field, size_t size) {
    size_t length = strnlen(field, size);
    if (length == size) std::abort();  // no terminating zero
    for (size_t i = 0; i < length; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(field[i]))) {
            if (i + 1 >= length) std::abort();  // half a double-byte character
            ++i;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSetInput(data, size);
    ClearRecords();
#if defined(FUZZ_HERO)
    LoadHeroStatus();
    CheckString(hero.name, sizeof hero.name);
#elif defined(FUZZ_ENEMY)
    LoadEnemyKinds();
    for (const EnemyKind& kind : enemyKinds) {
        CheckString(kind.name, sizeof kind.name);
        CheckString(kind.glyph, sizeof kind.glyph);
    }
#elif defined(FUZZ_ABILITY)
    LoadAbilities();
    for (const AbilityInfo& ability : abilities) CheckString(ability.name, sizeof ability.name);
#endif
    return 0;
}
