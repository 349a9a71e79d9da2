#include "tests/battle_test_support.h"

#include <cstring>

#include "platform/headless.h"

void SetUpPlainHero(uint16_t attack, uint16_t defense, uint32_t nextLevelExp) {
    std::strcpy(hero.name, "Hero");
    hero.level = 1;
    hero.maxHp = 40;
    hero.hp = 40;
    hero.attack = hero.savedAttack = attack;
    hero.defense = hero.savedDefense = defense;
    hero.magicDefense = 5;
    hero.speed = 10;
    hero.nextLevelExp = nextLevelExp;
}

void SetUpPlainKind(EnemyKind& kind, const char* name, const char* glyph, uint16_t kindNo, uint16_t maxHp,
                    uint16_t defense, int16_t slotHp) {
    std::strcpy(kind.name, name);
    std::strcpy(kind.glyph, glyph);
    kind.kindNo = kindNo;
    kind.maxHp = maxHp;
    kind.defense = defense;
    kind.magicDefense = 1;
    kind.speed = 0;
    kind.target = 1;
    for (int16_t& slot : kind.hp) slot = slotHp;
}

void SetUpPlainAbilities() {
    const char* names[kAbilityCount] = {"Cut", "Flame", "Spin", "Hell", "Obey"};
    for (int i = 0; i < kAbilityCount; ++i) {
        std::strcpy(abilities[i].name, names[i]);
        abilities[i].rate = 1;
        abilities[i].power = 0;
    }
}

void TypeApart(long long& due, std::initializer_list<int> codes, long long gap) {
    for (int code : codes) HeadlessPushKey(code, due += gap);
}
