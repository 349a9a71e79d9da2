#include "battle/ability_command.h"

#include "battle/battle_state.h"
#include "battle/boosts.h"
#include "battle/enemy_turn.h"
#include "battle/hero_attack.h"
#include "battle/menu_window.h"
#include "console/console.h"
#include "console/texts.h"

namespace {

// Name columns of lines 1 to 5.
constexpr int kNameColumns[kMenuLines + 1] = {0, 62, 60, 59, 62, 60};

void MoveAbilityCursor(int step) {
    SetNormal();
    DrawMenuMarks(battleState.abilityCursor + 1);
    battleState.abilityCursor = static_cast<int16_t>(battleState.abilityCursor + step);
    SetBright();
    DrawMenuMarks(battleState.abilityCursor + 1);
    SetNormal();
}

int CloseAbilityWindow(int outcome) {
    EraseMenuWindow();
    battleState.abilityCursor = 0;
    return outcome;
}

}  // namespace

int AbilitiesListed(int level) {
    if (level >= 25) return 5;
    if (level >= 18) return 4;
    if (level >= 12) return 3;
    return 2;
}

void DrawAbilityName(int k) {
    if (k < 1 || k > kMenuLines) return;
    SetCursor(kNameColumns[k], MenuLineRow(k));
    WriteText("%.*s", static_cast<int>(sizeof abilities[k - 1].name), abilities[k - 1].name);
}

void DrawAbilityTitle() {
    SetCursor(kMenuColumn, kMenuTitleRow);
    WriteText("______Ability_______");
}

void OpenAbilityWindow() {
    SetNormal();
    // The lowest line first; the cursor starts on line 1.
    for (int k = AbilitiesListed(hero.level); k >= 1; --k) SlideInMenuLine(k, k == 1, DrawAbilityName);
    menuTop = 0;
    DrawAbilityTitle();
}

int AbilityCommand(EnemyKind& kind) {
    OpenAbilityWindow();
    for (;;) {
        switch (ReadMenuKey(kTextHintAbilities)) {
        case KeyUp:
            if (battleState.abilityCursor > 0) MoveAbilityCursor(-1);
            break;
        case KeyDown:
            if (battleState.abilityCursor < AbilitiesListed(hero.level) - 1) MoveAbilityCursor(+1);
            break;
        case KeyEnter:
        case KeyRight: {
            int outcome = HeroAttack(kind);
            if (outcome == kOutcomeFell) {
                // Only the protein boosts count this turn; the enemies do not act.
                TickAttackBoosts();
                return kOutcomeFell;
            }
            if (outcome == kOutcomeWon) return kOutcomeWon;
            if (EnemyTurn(kind) == kOutcomeHeroFell) return kOutcomeHeroFell;
            break;
        }
        case KeySpace:
            return CloseAbilityWindow(kOutcomeNone);
        case KeyLeft:
            return CloseAbilityWindow(kOutcomeBack);
        default:
            break;
        }
    }
}
