#include "battle/hero_attack.h"

#include "battle/battle_state.h"
#include "battle/formulas.h"
#include "battle/level_up.h"
#include "console/battle_screen.h"
#include "console/console.h"
#include "console/enemy_view.h"
#include "console/message_log.h"
#include "console/texts.h"

namespace {

// The HP slot a hit lowers: the one numbered like the count of standing instances.
int16_t& HitSlot(EnemyKind& kind) {
    int number = battleState.enemiesLeft;
    if (number < 1) number = 1;
    if (number > kInstanceSlots) number = kInstanceSlots;
    return kind.hp[number - 1];
}

// A hit never heals, and a slot never wraps round to a high value.
void LowerSlot(int16_t& slot, int damage) {
    int left = slot - (damage > 0 ? damage : 0);
    slot = static_cast<int16_t>(left < -32768 ? -32768 : left);
}

// A level is gained when the experience reaches the threshold, below the
// highest level a 16-bit level can count.
bool LevelDue() { return hero.exp >= hero.nextLevelExp && hero.level < UINT16_MAX; }

int MissOrSurvivor() {
    WaitForConfirmKey();
    ClearMessageLog();
    return kOutcomeNone;
}

int Victory(EnemyKind& kind) {
    hero.attack = hero.savedAttack;
    hero.defense = hero.savedDefense;
    // The restore has just taken away the bonus of every boost started in this
    // battle; those boosts end here so that their expiry cannot take it again.
    RetireBoostsOfThisBattle();
    levelUpSnapshot = hero;
    LogMessage(kTextFightWon);

    uint32_t gained = BattleExperience(ComputeExpAward(kind), battleState.defeatedCount, battleState.turnCount,
                                       battleState.itemUseCount);
    uint64_t exp = static_cast<uint64_t>(hero.exp) + gained;
    hero.exp = exp > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(exp);
    LogMessage(InsertNumber(kTextExpGained, gained));
    if (!LevelDue()) {
        WaitForConfirmKey();
        return kOutcomeWon;
    }

    expGained = gained;
    GainLevels();
    LogMessage(kTextHeroLevelledUp);
    hero.hp = static_cast<int16_t>(hero.maxHp);
    DrawLevelLine();
    DrawHpPanel();
    ClearViewArea();
    DrawLevelUpFrame(hero);
    DrawLevelUpGains();
    DrawLevelUpValues();
    return kOutcomeWon;
}

}  // namespace

uint32_t BattleExperience(uint16_t award, int defeated, int turns, int itemsUsed) {
    uint16_t total = static_cast<uint16_t>(award * defeated);
    if (turns >= 40) {
        int t = turns / 10;
        total = static_cast<uint16_t>(static_cast<long long>(total / (t * 1.1 / 4.0)));
    }
    long long gained = static_cast<long long>(total) - 5LL * itemsUsed;
    return gained > 0 ? static_cast<uint32_t>(gained) : 0;
}

void GainLevels() {
    // Each pass lowers the experience by a threshold of at least 1 and stops at
    // the highest level, so the loop always ends.
    while (LevelDue()) {
        hero.level += 1;
        GrowStats(hero);
        uint32_t threshold = hero.nextLevelExp;
        UpdateNextLevelExp(hero);
        // A threshold of 0 is a multiple of 65536 reduced to 16 bits.
        if (hero.nextLevelExp == 0) hero.nextLevelExp = 65536;
        hero.exp -= threshold;
    }
}

int HeroAttack(EnemyKind& kind) {
    int cursor = battleState.abilityCursor;
    const AbilityInfo& ability = abilities[cursor >= 0 && cursor < kAbilityCount ? cursor : 0];
    battleState.turnCount += 1;
    ClearMessageLog();
    if (IsAttackEvaded(static_cast<int16_t>(kind.speed), static_cast<int16_t>(hero.speed),
                       static_cast<int16_t>(ability.power))) {
        LogMessage(kTextHeroAttackEvaded);
        return MissOrSurvivor();
    }
    int damage = ComputeHeroDamage(hero, kind, ability);
    if (damage < 0) damage = 0;
    LogMessage(InsertNumber(kTextDamageToEnemy, damage));
    int16_t& slot = HitSlot(kind);
    LowerSlot(slot, damage);
    if (slot > 0) return MissOrSurvivor();

    LogMessage(kTextEnemyDefeated);
    battleState.enemiesLeft -= 1;
    battleState.defeatedCount += 1;
    if (kind.target >= 1 && kind.target <= kInstanceSlots) battleState.defeated[kind.target] = 1;
    battleState.abilityCursor = 0;
    EraseEnemyInstance(kind, battleState.enemiesLeft + battleState.defeatedCount);
    if (battleState.enemiesLeft != 0) return kOutcomeFell;
    return Victory(kind);
}
