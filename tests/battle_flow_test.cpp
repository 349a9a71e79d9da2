// Whole battles on the headless console: the opening screen, the command
// cursor, fleeing, defending, losing, and the closing message.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "battle/battle_flow.h"
#include "battle/battle_state.h"
#include "console/console.h"
#include "console/message_log.h"
#include "console/texts.h"
#include "game/game_state.h"
#include "tests/battle_test_support.h"
#include "platform/sjis_utf8.h"
#include "tests/test_support.h"

namespace {

class BattleFlowTest : public ::testing::Test {
protected:
    EnemyKind& kind = enemyKinds[kPawn];
    long long due = 0;

    void SetUp() override {
        HeadlessReset();
        ResetGameState();
        SetUpPlainHero(10, 15, 100);
        hero.hp = 3;  // refilled at the start
        SetUpPlainAbilities();
        SetUpPlainKind(kind, "Pawn", "PP", 1, 12, 3, 12);  // speed 0: every flight succeeds
        kind.target = 5;  // the start puts it on 1
    }

    void Type(std::initializer_list<int> codes) { TypeApart(due, codes, 20000); }
    // Runs a battle; true when it ended before the script did.
    bool Battle(int count) {
        try {
            RunBattle(kind, count);
            return true;
        } catch (const HeadlessStop&) {
            return false;
        }
    }
};

TEST_F(BattleFlowTest, TheBattleScreenOpensWithTheFirstCommandHighlighted) {
    due = 2000;
    Type({});
    EXPECT_FALSE(Battle(3));
    EXPECT_EQ(hero.hp, 40);
    EXPECT_EQ(hero.savedDefense, 15);
    EXPECT_EQ(kind.target, 1);
    EXPECT_EQ(battleState.enemiesLeft, 3);
    EXPECT_EQ(ScreenText(0, 9, 21), "＿＿＿＿＿＿");
    EXPECT_EQ(ScreenAttribute(9, 0), 15u);
    EXPECT_EQ(ScreenAttribute(7, 3), 7u);
    EXPECT_EQ(ScreenText(1, 10, 18), "たたかう");
    EXPECT_EQ(ScreenText(10, 4, 11), " にげる");
    EXPECT_EQ(ScreenText(0, 25, 48), " ___Enemy View_________");
    EXPECT_EQ(ScreenText(2, 34, 40), "PP  PP");
    EXPECT_EQ(ScreenText(4, 36, 38), "PP");
    EXPECT_EQ(ScreenText(12, 7, 13), "Lv : 1");
    EXPECT_EQ(ScreenText(14, 7, 19), "HP : 40 / 40");
    EXPECT_EQ(ScreenText(13, 1, 23), "---+" + std::string(18, '-'));
}

TEST_F(BattleFlowTest, TheCommandCursorStopsAtBothEndsWithoutDrawing) {
    Type({KeyUp});
    EXPECT_FALSE(Battle(1));
    long long writes = HeadlessWriteCount();
    EXPECT_EQ(battleState.commandCursor, 0);
    HeadlessReset();
    Type({KeyDown, KeyDown, KeyDown});
    EXPECT_FALSE(Battle(1));
    EXPECT_EQ(battleState.commandCursor, 3);
    EXPECT_EQ(ScreenAttribute(3, 9), 15u);  // box 4 bright
    EXPECT_EQ(ScreenAttribute(9, 0), 7u);   // box 1 normal again
    EXPECT_GT(writes, 0);
    long long before = HeadlessWriteCount();
    Type({KeyDown});
    EXPECT_THROW(BattleCommandLoop(kind), HeadlessStop);
    EXPECT_EQ(HeadlessWriteCount(), before);
}

TEST_F(BattleFlowTest, AFlightThatSucceedsEndsWithTheClosingMessage) {
    Type({KeyDown, KeyDown, KeyDown, KeyRight});
    EXPECT_TRUE(Battle(2));
    EXPECT_EQ(ScreenText(13, 27, 53), "にげることに成功しました。");
    EXPECT_EQ(ScreenText(14, 25, 79), "|" + std::string(52, ' ') + "|");  // the older lines were cleared
    EXPECT_EQ(battleState.enemiesLeft, 0);
    EXPECT_EQ(battleState.commandCursor, 0);
    EXPECT_EQ(hero.defense, 15);
}

TEST_F(BattleFlowTest, AFailedFlightCostsOneEnemyTurnAndDefendDoublesTheDefenseForIt) {
    kind.speed = 200;       // the pursuit wins every time
    kind.attack = 0;        // and the enemy hits for little
    hero.speed = 0;         // the hero cannot dodge
    Type({KeyDown, KeyDown, KeyDown, KeyEnter});
    Type({KeyEnter, KeyEnter});  // one attack each of two enemies
    Type({KeyEnter});            // the wait after the failed flight
    EXPECT_FALSE(Battle(2));
    EXPECT_EQ(battleState.turnCount, 1 + 2);
    EXPECT_EQ(battleState.commandCursor, 3);  // still on flee
    int hpAfterFlight = hero.hp;
    EXPECT_LE(hpAfterFlight, 40);
    // Defend: up to the second command, the enemies' turn with 30 defense.
    Type({KeyUp, KeyUp, KeyEnter, KeyEnter, KeyEnter});
    EXPECT_THROW(BattleCommandLoop(kind), HeadlessStop);
    EXPECT_EQ(battleState.turnCount, 3 + 1 + 2);
    EXPECT_EQ(hero.defense, 15);
}

TEST_F(BattleFlowTest, TheHeroFallsAndTheBattleIsLost) {
    kind.speed = 200;
    kind.attack = 5000;
    hero.speed = 0;
    hero.defense = 1;
    Type({KeyDown, KeyDown, KeyDown, KeyEnter, KeyEnter});
    EXPECT_TRUE(Battle(3));
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(ScreenText(13, 27, 47), "バトルに負けました。");
    EXPECT_EQ(battleState.turnCount, 0);  // reset
    EXPECT_EQ(HeadlessKeysLeft(), 0u);
}

TEST_F(BattleFlowTest, TheInstanceHpSlotsCarryFromOneBattleToTheNext) {
    kind.speed = 0;
    hero.attack = 5;  // a hit of 1 to 11 on a defense of 3: never a fall from 12
    abilities[kSwordCut].rate = 3;
    abilities[kSwordCut].power = 0;
    Type({KeyEnter, KeyEnter, KeyEnter});  // fight, target 1, the first ability
    Type({KeyEnter, KeyEnter, KeyEnter});  // the hit's wait, then each enemy's attack
    Type({KeySpace, KeySpace, KeyDown, KeyDown, KeyDown, KeyEnter});  // close both, flee
    EXPECT_TRUE(Battle(2));
    int16_t left = kind.hp[1];
    EXPECT_LT(left, 12);  // slot 2: the count of standing instances when hit
    EXPECT_EQ(kind.hp[0], 12);
    Type({KeyDown, KeyDown, KeyDown, KeyEnter});
    EXPECT_TRUE(Battle(2));
    EXPECT_EQ(kind.hp[1], left);  // nothing refills the slots
}

TEST_F(BattleFlowTest, DefendingADefenseThatCannotDoubleLeavesItAsItWas) {
    hero.defense = 40000;
    kind.attack = 0;
    hero.speed = 0;
    Type({KeyDown, KeyEnter, KeyEnter});
    EXPECT_FALSE(Battle(1));
    EXPECT_EQ(hero.defense, 40000);
}

TEST_F(BattleFlowTest, ABucklerWearingOffWhileDefendingTakesItsWholeBonusOff) {
    // 15 and a buckler: 20, doubled to 40 for the enemies' turn; the buckler
    // wears off at the turn's first tick (35), and the defense given back is 15.
    hero.defense = 20;
    defenseBoosts[0] = BoostSlot{1, 0, false};
    boostRowUsed[0] = 1;
    activeBoostCount = 1;
    kind.attack = 0;
    hero.speed = 0;
    Type({KeyDown, KeyEnter, KeyEnter, KeyEnter});  // defend; the worn-off message; the attack
    EXPECT_FALSE(Battle(1));
    EXPECT_EQ(battleState.turnCount, 1 + 1);
    EXPECT_EQ(defenseBoosts[0].turnsLeft, kBoostFree);
    EXPECT_EQ(hero.defense, 15);
    EXPECT_EQ(hero.savedDefense, 15);
}

// Below the game, each place that waits for keys names its own: the command
// menu, the target choice, the ability list, the item window, and the wait
// after a message; a window that closes gives the help back to the one under it.
TEST_F(BattleFlowTest, EachKeyWaitShowsItsOwnKeyHelp) {
    kind.speed = 30000;  // the enemy dodges: the attack ends in a message to confirm
    // commands → targets → abilities ← targets, back; down to the items and
    // back; up to fight, a target, an ability: the dodge is confirmed, and the
    // enemy's attack waits for a confirm in turn.
    Type({KeyEnter, KeyEnter, KeyLeft, KeySpace, KeyDown, KeyDown, KeyEnter, KeySpace, KeyUp, KeyUp, KeyEnter,
          KeyEnter, KeyEnter, KeyEnter});
    // While a message types out (50 ms a byte) only a confirm key acts: its help shows.
    std::set<std::string> whileTyping;
    HeadlessSetSleepWatcher([&whileTyping](unsigned ms) {
        if (ms == 50) whileTyping.insert(SjisToUtf8(HeadlessHint()));
    });
    EXPECT_FALSE(Battle(1));
    EXPECT_EQ(whileTyping, std::set<std::string>{SjisToUtf8(kTextHintTyping)});
    const std::vector<std::string> expected = {
        kTextHintCommands, kTextHintTargets,  kTextHintAbilities, kTextHintTargets,  kTextHintCommands,
        kTextHintCommands, kTextHintCommands, kTextHintItems,     kTextHintCommands, kTextHintCommands,
        kTextHintCommands, kTextHintTargets,  kTextHintAbilities, kTextHintConfirm,  kTextHintConfirm,
    };
    std::vector<std::string> shown = HeadlessHintsAtKeyReads();
    for (std::string& hint : shown) hint = SjisToUtf8(hint);
    std::vector<std::string> wanted = expected;
    for (std::string& hint : wanted) hint = SjisToUtf8(hint);
    EXPECT_EQ(shown, wanted);
}

}  // namespace
