#include "battle/battle_flow.h"

#include "battle/battle_state.h"
#include "battle/enemy_turn.h"
#include "battle/fight_command.h"
#include "battle/formulas.h"
#include "battle/item_command.h"
#include "console/battle_screen.h"
#include "console/console.h"
#include "console/enemy_view.h"
#include "console/message_log.h"
#include "console/texts.h"

namespace {

// What a command reports when the battle is not over.
constexpr int kBattleGoesOn = -1;

int EndsBattleIf(int outcome, int ending) { return outcome == ending ? ending : kBattleGoesOn; }

void MoveCommandCursor(int step) {
    SetNormal();
    DrawCommandBox(battleState.commandCursor + 1);
    battleState.commandCursor = static_cast<int16_t>(battleState.commandCursor + step);
    SetBright();
    DrawCommandBox(battleState.commandCursor + 1);
}

int Defend(EnemyKind& kind) {
    SetNormal();
    SlideSelectionBanner();
    SlideAttackBanner();
    // The defense is doubled for the enemies' turn and given back after it. A
    // defense that cannot be doubled in 16 bits stays as it is, so that the
    // halving cannot leave the hero with nothing. A buckler that wears off
    // during the turn takes its 5 points off the doubled value; halving that
    // would leave 2 of them for good, so the defense given back is the one
    // before the turn less the whole bonus of every buckler that wore off.
    const uint16_t before = hero.defense;
    const bool doubled = before <= 32767;
    if (doubled) hero.defense = static_cast<uint16_t>(before * 2);
    const uint16_t during = hero.defense;
    battleState.turnCount += 1;
    int outcome = EnemyTurn(kind);
    if (doubled) hero.defense = static_cast<uint16_t>(before - (during - hero.defense));
    return outcome;
}

int Flee(EnemyKind& kind) {
    SetNormal();
    ClearMessageLog();
    LogMessage(kTextHeroFlees);
    int16_t pursuit = FleePursuitValue(kind.speed, battleState.enemiesLeft);
    if (FleeSucceeds(static_cast<int16_t>(hero.speed), pursuit)) {
        LogMessage(kTextFleeSucceeded);
        return kOutcomeNone;
    }
    LogMessage(kTextFleeFailed);
    battleState.turnCount += 1;
    if (EnemyTurn(kind) == kOutcomeHeroFell) return kOutcomeHeroFell;
    WaitForConfirmKey();
    ClearMessageLog();
    return kBattleGoesOn;
}

// The command under the cursor: kBattleGoesOn, or the outcome that ends the battle.
int CarryOutCommand(EnemyKind& kind) {
    switch (battleState.commandCursor) {
    case 0: {
        SetNormal();
        int outcome = FightCommand(kind);
        return outcome == kOutcomeWon || outcome == kOutcomeHeroFell ? outcome : kBattleGoesOn;
    }
    case 1:
        return EndsBattleIf(Defend(kind), kOutcomeHeroFell);
    case 2:
        SetNormal();
        SlideSelectionBanner();
        SlideHeroBanner(hero);
        return EndsBattleIf(ItemCommand(kind), kOutcomeHeroFell);
    default:
        return Flee(kind);
    }
}

void DrawBattleScreen(const EnemyKind& kind, int count) {
    SlideInCommandBoxes();
    DrawCommandLabels();
    DrawEnemyViewFrame();
    DrawEnemyGroup(kind, count);
    DrawMessageFrame();
    DrawHpPanel();
    DrawLevelLine();
    DrawBoostSeparators();
}

}  // namespace

int BattleCommandLoop(EnemyKind& kind) {
    for (;;) {
        switch (ReadMenuKey(kTextHintCommands)) {
        case KeyUp:
            if (battleState.commandCursor != 0) MoveCommandCursor(-1);
            break;
        case KeyDown:
            if (battleState.commandCursor != kCommandCount - 1) MoveCommandCursor(+1);
            break;
        case KeyEnter:
        case KeyRight: {
            int outcome = CarryOutCommand(kind);
            if (outcome != kBattleGoesOn) return outcome;
            break;
        }
        default:
            break;
        }
    }
}

int RunBattle(EnemyKind& kind, int count) {
    SetNormal();
    hero.hp = static_cast<int16_t>(hero.maxHp);
    hero.savedAttack = hero.attack;
    hero.savedDefense = hero.defense;
    MarkBoostsCarriedOver();
    SeedRand(WallClockSeconds());
    if (count < 1) count = 1;
    if (count > kInstanceSlots) count = kInstanceSlots;
    kind.target = 1;
    battleState.enemiesLeft = static_cast<int16_t>(count);
    DrawBattleScreen(kind, count);

    int outcome = BattleCommandLoop(kind);
    ClearMessageLog();
    if (outcome == kOutcomeWon) {
        LogMessage(kTextBattleWon);
    } else if (outcome == kOutcomeHeroFell) {
        LogMessage(kTextBattleLost);
    } else {
        LogMessage(kTextFledBattle);
    }
    ResetBattleState();
    return 0;
}
