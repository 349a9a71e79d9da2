// The record files: a string, then numbers, separated by white space. Reading
// stops at the first item that is missing or not a number; the fields after it
// keep what they held. A file that gives not even one number after its name
// (empty, blank, or not text at all) counts as missing: it would leave its
// record as zero as a missing file does.
#include "records/records.h"

#include <cstring>

#include "records/text_reader.h"

HeroStatus hero;
EnemyKind enemyKinds[kEnemyKindCount];
AbilityInfo abilities[kAbilityCount];

const char kHeroStatusPath[] = "Hero_Info\\Hero_Status_Info.txt";

const char* const kEnemyKindPaths[kEnemyKindCount] = {
    "Enemy_Info\\Pawn_Status_Info.txt",   "Enemy_Info\\Knight_Status_Info.txt",
    "Enemy_Info\\Bishop_Status_Info.txt", "Enemy_Info\\Rook_Status_Info.txt",
    "Enemy_Info\\Queen_Status_Info.txt",  "Enemy_Info\\King_Status_Info.txt",
};

const char* const kAbilityPaths[kAbilityCount] = {
    "Abilities\\SwordCut.txt",  "Abilities\\Flame.txt", "Abilities\\BigRevolveSword.txt",
    "Abilities\\HellFlame.txt", "Abilities\\AbsoluteObedience.txt",
};

namespace {

// Reads numbers into 16-bit fields in order until one cannot be read.
bool ReadFields16(TextReader& reader, uint16_t* const* fields, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        long long value;
        if (!ReadTextNumber(reader, value)) return false;
        *fields[i] = Low16(value);
    }
    return true;
}

bool ReadField32(TextReader& reader, uint32_t& field) {
    long long value;
    if (!ReadTextNumber(reader, value)) return false;
    field = Low32(value);
    return true;
}

}  // namespace

void ReadHeroStatus(TextReader& reader, HeroStatus& record) {
    if (!ReadTextString(reader, record.name, sizeof record.name)) return;
    uint16_t* const first[] = {&record.maxHp,       &record.attack, &record.defense,
                               &record.magicAttack, &record.magicDefense, &record.speed};
    if (!ReadFields16(reader, first, 6)) return;
    if (!ReadField32(reader, record.nextLevelExp) || !ReadField32(reader, record.exp)) return;
    uint16_t* const rest[] = {&record.level,          &record.spare1,         &record.spare2,
                              &record.spare3,         &record.spare4,         &record.items[0].held,
                              &record.items[0].count, &record.items[1].held,  &record.items[1].count,
                              &record.items[2].held,  &record.items[2].count, &record.fieldX,
                              &record.fieldY};
    ReadFields16(reader, rest, 13);
}

namespace {

// The loaders' result once the file is read: 1, or 0 for a file that gave no
// number after its name (the fatal stop names it as one that could not be opened).
int LoadResult(const TextReader& reader, const char* path) {
    if (reader.items >= 2) return 1;
    MarkFileUnopened(path);
    return 0;
}

}  // namespace

int LoadHeroStatus() {
    TextReader reader;
    if (!OpenTextReader(reader, kHeroStatusPath)) return 0;
    ReadHeroStatus(reader, hero);
    CloseTextReader(reader);
    return LoadResult(reader, kHeroStatusPath);
}

int LoadEnemyKind(EnemyKind& kind, const char* path) {
    TextReader reader;
    if (!OpenTextReader(reader, path)) return 0;
    uint16_t* const numbers[] = {&kind.spare,       &kind.target,       &kind.maxHp, &kind.attack,   &kind.defense,
                                 &kind.magicAttack, &kind.magicDefense, &kind.speed, &kind.abilityNo};
    long long kindNo;
    if (ReadTextString(reader, kind.name, sizeof kind.name) && ReadTextNumber(reader, kindNo)) {
        kind.kindNo = Low16(kindNo);
        if (ReadTextString(reader, kind.glyph, sizeof kind.glyph)) ReadFields16(reader, numbers, 9);
    }
    CloseTextReader(reader);
    return LoadResult(reader, path);
}

int LoadEnemyKinds() {
    for (int i = 0; i < kEnemyKindCount; ++i) {
        if (!LoadEnemyKind(enemyKinds[i], kEnemyKindPaths[i])) return 0;
        if (i <= kRook) {
            for (int16_t& slot : enemyKinds[i].hp) slot = static_cast<int16_t>(enemyKinds[i].maxHp);
        }
    }
    return 1;
}

int LoadAbility(AbilityInfo& ability, const char* path) {
    TextReader reader;
    if (!OpenTextReader(reader, path)) return 0;
    uint16_t* const numbers[] = {&ability.spare, &ability.rate, &ability.power};
    if (ReadTextString(reader, ability.name, sizeof ability.name)) ReadFields16(reader, numbers, 3);
    CloseTextReader(reader);
    return LoadResult(reader, path);
}

int LoadAbilities() {
    for (int i = 0; i < kAbilityCount; ++i) {
        if (!LoadAbility(abilities[i], kAbilityPaths[i])) return 0;
    }
    return 1;
}

void ClearRecords() {
    std::memset(&hero, 0, sizeof hero);
    std::memset(enemyKinds, 0, sizeof enemyKinds);
    std::memset(abilities, 0, sizeof abilities);
}
