#include "battle/enemy_turn.h"

#include "battle/battle_state.h"
#include "battle/boosts.h"
#include "battle/formulas.h"
#include "console/battle_screen.h"
#include "console/console.h"
#include "console/message_log.h"
#include "console/texts.h"

namespace {

constexpr char kTextGameOver[] = "GAME OVER";

// The ability the kind attacks with. A kind whose file names no existing
// ability attacks with the first one rather than with whatever lies beyond the
// table.
const AbilityInfo& KindAbility(const EnemyKind& kind) {
    return abilities[kind.abilityNo < kAbilityCount ? kind.abilityNo : 0];
}

}  // namespace

int EnemyTurn(EnemyKind& kind) {
    TickBoosts();
    if (EnemiesAttack(kind) == kOutcomeHeroFell) return kOutcomeHeroFell;
    TickBoosts();
    return kOutcomeNone;
}

int EnemiesAttack(EnemyKind& kind) {
    for (int i = 0; i < battleState.enemiesLeft; ++i) {
        if (EnemyAttack(kind) == kOutcomeHeroFell) return kOutcomeHeroFell;
    }
    return kOutcomeNone;
}

int EnemyAttack(EnemyKind& kind) {
    const AbilityInfo& ability = KindAbility(kind);
    battleState.turnCount = static_cast<int16_t>(battleState.turnCount + 1);
    ClearMessageLog();
    LogMessage(InsertName(kTextEnemyAttacks, kind.name));

    if (IsAttackEvaded(static_cast<int16_t>(hero.speed), static_cast<int16_t>(kind.speed),
                       static_cast<int16_t>(ability.power))) {
        LogMessage(kTextEnemyAttackEvaded);
    } else {
        // The formula can give less than 1; such a hit does no harm (it never
        // heals) and is reported as 0.
        int damage = ComputeEnemyDamage(hero, kind, ability);
        if (damage < 0) damage = 0;
        CountDownHp(damage);
        LogMessage(InsertNumber(kTextDamageToHero, damage));
        if (hero.hp <= 0) {
            LogMessage(kTextHeroDefeated);
            LogMessage(kTextGameOver);
            WaitForConfirmKey();
            return kOutcomeHeroFell;
        }
    }
    WaitForConfirmKey();
    ClearMessageLog();
    return kOutcomeNone;
}
