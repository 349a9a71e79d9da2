// The target choice and the ability list: cursor moves by number and by row,
// leaving and going back, the list's length by level, and what each kind of
// attack leads to.
#include <gtest/gtest.h>

#include <cstring>

#include "battle/ability_command.h"
#include "battle/battle_state.h"
#include "battle/fight_command.h"
#include "battle/formulas.h"
#include "console/console.h"
#include "console/message_log.h"
#include "game/game_state.h"
#include "tests/battle_test_support.h"
#include "tests/test_support.h"

namespace {

TEST(TargetTableTest, UpAndDownFollowTheRowsOfEachGroupSize) {
    // total: {from, up, down} for every instance.
    struct Move { int total, from, up, down; };
    const Move moves[] = {
        {1, 1, 0, 0}, {2, 1, 0, 0}, {2, 2, 0, 0},
        {3, 1, 0, 3}, {3, 2, 0, 3}, {3, 3, 1, 0},
        {4, 1, 0, 3}, {4, 2, 0, 4}, {4, 3, 1, 0}, {4, 4, 2, 0},
        {5, 1, 0, 3}, {5, 2, 0, 3}, {5, 3, 1, 5}, {5, 4, 3, 0}, {5, 5, 3, 0},
        {6, 1, 0, 4}, {6, 2, 0, 5}, {6, 3, 0, 6}, {6, 4, 1, 0}, {6, 5, 2, 0}, {6, 6, 3, 0},
        {7, 1, 0, 5}, {7, 2, 0, 6}, {7, 3, 0, 7}, {7, 4, 0, 0}, {7, 5, 1, 0}, {7, 6, 2, 0}, {7, 7, 3, 0},
    };
    for (const Move& move : moves) {
        EXPECT_EQ(InstanceAbove(move.total, move.from), move.up) << move.total << ":" << move.from;
        EXPECT_EQ(InstanceBelow(move.total, move.from), move.down) << move.total << ":" << move.from;
    }
    EXPECT_EQ(InstanceAbove(8, 5), 0);
    EXPECT_EQ(InstanceBelow(0, 1), 0);
    EXPECT_EQ(InstanceBelow(3, 9), 0);
}

TEST(AbilityListTest, LevelDecidesHowManyAbilitiesAreListed) {
    EXPECT_EQ(AbilitiesListed(1), 2);
    EXPECT_EQ(AbilitiesListed(11), 2);
    EXPECT_EQ(AbilitiesListed(12), 3);
    EXPECT_EQ(AbilitiesListed(17), 3);
    EXPECT_EQ(AbilitiesListed(18), 4);
    EXPECT_EQ(AbilitiesListed(24), 4);
    EXPECT_EQ(AbilitiesListed(25), 5);
    EXPECT_EQ(AbilitiesListed(65535), 5);
}

class FightTest : public ::testing::Test {
protected:
    EnemyKind& kind = enemyKinds[kKnight];
    long long due = 0;

    void SetUp() override {
        HeadlessReset();
        ResetGameState();
        SetUpPlainHero(100, 10, 60000);  // speed 10: the enemies (speed 0) never hit him
        SetUpPlainAbilities();
        SetUpPlainKind(kind, "Knight", "KK", 2, 10, 1, 10000);
        battleState.enemiesLeft = 4;
        SeedRand(3);
    }

    void Type(std::initializer_list<int> codes) { TypeApart(due, codes, 5000); }
    // The attribute of instance n's glyph in a group of four.
    unsigned GlyphAttribute(int n) {
        const int columns[] = {0, 9, 13, 9, 13};
        const int rows[] = {0, 2, 2, 4, 4};
        return ScreenAttribute(25 + columns[n], rows[n]);
    }
    int RunFight() {
        try {
            return FightCommand(kind);
        } catch (const HeadlessStop&) {
            return -1;  // the script ended inside the command
        }
    }
};

TEST_F(FightTest, ArrowsMoveAlongNumbersAndRowsAndTheSpaceBarCancels) {
    Type({KeyRight, KeyDown});
    EXPECT_EQ(RunFight(), -1);
    EXPECT_EQ(kind.target, 4);
    EXPECT_EQ(GlyphAttribute(4), 15u);
    EXPECT_EQ(GlyphAttribute(2), 7u);
    EXPECT_EQ(GlyphAttribute(1), 7u);
    EXPECT_EQ(ScreenText(9, 34, 40), "Knight");
    Type({KeySpace});
    EXPECT_EQ(FightCommand(kind), kOutcomeNone);
    EXPECT_EQ(kind.target, 1);
    EXPECT_EQ(ScreenLine(7), "");
    EXPECT_EQ(ScreenText(9, 25, 50).find("Knight"), std::string::npos);
    EXPECT_EQ(GlyphAttribute(4), 7u);
}

TEST_F(FightTest, FallenInstancesAreSkippedAlongNumbersButRowsDoNotSearch) {
    battleState.enemiesLeft = 2;
    battleState.defeatedCount = 2;
    battleState.defeated[1] = battleState.defeated[2] = 1;
    // The cursor enters on a fallen instance and moves up to the lowest standing.
    Type({KeyUp, KeyLeft});
    EXPECT_EQ(RunFight(), -1);
    EXPECT_EQ(kind.target, 3);  // up from 3 leads to 1, fallen: no move; left finds none
    EXPECT_EQ(GlyphAttribute(3), 15u);
    Type({KeyRight, KeyUp});
    EXPECT_EQ(RunFight(), -1);
    EXPECT_EQ(kind.target, 4);  // up from 4 leads only to 2, which has fallen
}

TEST_F(FightTest, RightSkipsAFallenNeighbourOrStaysWhenNoneStands) {
    battleState.enemiesLeft = 2;
    battleState.defeatedCount = 1;
    battleState.defeated[2] = 1;
    Type({KeyRight});
    EXPECT_EQ(RunFight(), -1);
    EXPECT_EQ(kind.target, 3);
    battleState.defeated[3] = 1;
    battleState.enemiesLeft = 1;
    kind.target = 1;
    Type({KeyRight});
    EXPECT_EQ(RunFight(), -1);
    EXPECT_EQ(kind.target, 1);
}

TEST_F(FightTest, TheAbilityListOpensOnEnterAndTheLeftArrowGoesBackToTheTarget) {
    hero.level = 12;
    Type({KeyRight, KeyEnter});
    EXPECT_EQ(RunFight(), -1);
    EXPECT_EQ(ScreenText(0, 54, 74), "______Ability_______");
    EXPECT_EQ(ScreenText(2, 54, 65), " ＜     Cut");
    EXPECT_EQ(ScreenAttribute(55, 2), 15u);
    EXPECT_EQ(ScreenText(4, 60, 65), "Flame");
    EXPECT_EQ(ScreenText(6, 59, 63), "Spin");
    EXPECT_EQ(ScreenText(8, 54, 74), std::string(20, ' '));
    HeadlessReset();
    kind.target = 1;
    Type({KeyRight, KeyEnter, KeyLeft, KeyRight});
    EXPECT_EQ(RunFight(), -1);
    EXPECT_EQ(ScreenText(0, 54, 74), std::string(20, ' '));  // the list was erased
    EXPECT_EQ(kind.target, 3);                                 // and the choice went on
}

TEST_F(FightTest, TheListSlidesInLowestLineFirst) {
    hero.level = 25;
    OpenAbilityWindow();
    EXPECT_EQ(HeadlessMilliseconds(), 11 + 9 + 7 + 5 + 3);
    EXPECT_EQ(ScreenText(10, 60, 64), "Obey");
    EXPECT_EQ(ScreenText(8, 62, 66), "Hell");
    for (int row : {1, 3, 5, 7, 9}) EXPECT_EQ(ScreenLine(row), "") << row;
    EXPECT_EQ(menuTop, 0);
}

TEST_F(FightTest, AnAttackThatLeavesTheTargetStandingIsAnsweredAndTheListStaysOpen) {
    attackBoosts[0] = BoostSlot{6, 0, true};
    defenseBoosts[0] = BoostSlot{6, 1, true};
    activeBoostCount = 2;
    Type({KeyEnter, KeyDown, KeyEnter});
    // The hero's attack waits for a key, then each of the four enemies attacks
    // (and misses) with a wait of its own.
    Type({KeyEnter, KeyEnter, KeyEnter, KeyEnter, KeyEnter});
    EXPECT_EQ(RunFight(), -1);
    EXPECT_EQ(battleState.turnCount, 1 + 4);
    EXPECT_EQ(attackBoosts[0].turnsLeft, 4);  // two ticks around the enemies' turn
    EXPECT_EQ(defenseBoosts[0].turnsLeft, 4);
    EXPECT_EQ(battleState.abilityCursor, 1);  // the cursor stays where it was
    EXPECT_EQ(ScreenText(4, 60, 65), "Flame");
}

TEST_F(FightTest, AFallAmongOthersTicksOnlyTheProteinBoostsAndReturnsToTheMenu) {
    kind.hp[3] = 1;
    attackBoosts[0] = BoostSlot{6, 0, true};
    defenseBoosts[0] = BoostSlot{6, 1, true};
    activeBoostCount = 2;
    Type({KeyEnter, KeyEnter});
    EXPECT_EQ(FightCommand(kind), kOutcomeNone);
    EXPECT_EQ(attackBoosts[0].turnsLeft, 5);
    EXPECT_EQ(defenseBoosts[0].turnsLeft, 6);
    EXPECT_EQ(battleState.turnCount, 1);  // no enemy acted
    EXPECT_EQ(battleState.enemiesLeft, 3);
    EXPECT_EQ(kind.target, 2);  // the lowest standing instance
    EXPECT_EQ(ScreenText(0, 54, 74), std::string(20, ' '));
    EXPECT_EQ(ScreenText(2, 54, 74), std::string(20, ' '));
    EXPECT_EQ(ScreenLine(7), "");
}

TEST_F(FightTest, TheWinningAttackTicksNothing) {
    battleState.enemiesLeft = 1;
    battleState.defeatedCount = 3;
    for (int k = 1; k <= 3; ++k) battleState.defeated[k] = 1;
    kind.hp[0] = 1;
    attackBoosts[0] = BoostSlot{6, 0, false};
    activeBoostCount = 1;
    Type({KeyEnter, KeyEnter, KeyEnter});
    EXPECT_EQ(FightCommand(kind), kOutcomeWon);
    EXPECT_EQ(attackBoosts[0].turnsLeft, 6);
    EXPECT_EQ(kind.target, 4);
}

}  // namespace
