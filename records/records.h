// The hero, the six enemy kinds and the five abilities: global records that are
// loaded once from their files and live for the whole run.
#pragma once

#include <cstdint>

struct ItemStock {
    uint16_t held;   // carried by the hero file; nothing reads it
    uint16_t count;  // how many the hero has
};

enum ItemIndex { kPotion = 0, kProtein = 1, kBuckler = 2 };

struct HeroStatus {
    char name[16];
    uint16_t maxHp;
    uint16_t attack;
    uint16_t defense;
    uint16_t magicAttack;
    uint16_t magicDefense;
    uint16_t speed;
    uint32_t nextLevelExp;
    uint32_t exp;
    uint16_t level;
    uint16_t spare1;
    uint16_t spare2;
    uint16_t spare3;
    uint16_t spare4;
    ItemStock items[3];
    uint16_t fieldX;
    uint16_t fieldY;
    uint16_t screenNo;  // current field screen, 1 to 9 (set by the map header)
    int16_t hp;         // current HP, refilled at every battle start
    uint16_t savedAttack;
    uint16_t savedDefense;
};

constexpr int kInstanceSlots = 7;

struct EnemyKind {
    char name[20];
    uint16_t kindNo;
    char glyph[4];
    uint16_t spare;
    uint16_t target;  // instance under the target cursor, 1-based
    uint16_t maxHp;
    uint16_t attack;
    uint16_t defense;
    uint16_t magicAttack;
    uint16_t magicDefense;
    uint16_t speed;
    uint16_t abilityNo;  // index of the AbilityInfo the kind attacks with
    int16_t hp[kInstanceSlots];  // HP slots of the instances a battle puts up
};

enum EnemyKindIndex { kPawn = 0, kKnight = 1, kBishop = 2, kRook = 3, kQueen = 4, kKing = 5 };
constexpr int kEnemyKindCount = 6;

struct AbilityInfo {
    char name[20];
    uint16_t spare;
    uint16_t rate;   // multiplies the attacker's attack
    uint16_t power;  // added to that product; multiplies the attacker's speed when aiming
};

enum AbilityIndex { kSwordCut = 0, kFlame = 1, kBigRevolveSword = 2, kHellFlame = 3, kAbsoluteObedience = 4 };
constexpr int kAbilityCount = 5;

// The record files, relative to the data folder, in loading order.
extern const char kHeroStatusPath[];
extern const char* const kEnemyKindPaths[kEnemyKindCount];
extern const char* const kAbilityPaths[kAbilityCount];

extern HeroStatus hero;
extern EnemyKind enemyKinds[kEnemyKindCount];
extern AbilityInfo abilities[kAbilityCount];

struct TextReader;

// Reads the hero file's items into a record: the name, then the 21 numbers in
// file order, until one is missing or not a number (the later fields keep what
// they held). The save is read with it too.
void ReadHeroStatus(TextReader& reader, HeroStatus& record);

// Each returns 1 when its file(s) were read, 0 at the first that fails to open
// or gives no number after its name (the fields it has not read stay as they were).
int LoadHeroStatus();
int LoadEnemyKind(EnemyKind& kind, const char* path);
int LoadEnemyKinds();
int LoadAbility(AbilityInfo& ability, const char* path);
int LoadAbilities();

// Zero-fills every record, as at program start (for tests and tools).
void ClearRecords();
