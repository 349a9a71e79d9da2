// The balance run's figures and plays: the spread of battle lengths, the
// scripted player at a person's pace, and battles fought from a snapshot.
#include <gtest/gtest.h>

#include <vector>

#include "battle/battle_flow.h"
#include "game/game.h"
#include "game/game_state.h"
#include "platform/headless.h"
#include "tests/scripted_player.h"
#include "tools/balance/balance_runs.h"
#include "tools/balance/balance_table.h"

namespace {

TEST(BalanceTest, SpreadTakesTheMiddleOfAnEvenCountAndTheNearestRankFor95) {
    std::vector<double> twenty;
    for (int i = 20; i >= 1; --i) twenty.push_back(i);
    Spread spread = SpreadOf(twenty);
    EXPECT_EQ(spread.count, 20);
    EXPECT_DOUBLE_EQ(spread.median, 10.5);
    EXPECT_DOUBLE_EQ(spread.p95, 19);  // rank 19 of 20
    EXPECT_DOUBLE_EQ(spread.worst, 20);

    spread = SpreadOf({7, 1, 3});
    EXPECT_DOUBLE_EQ(spread.median, 3);
    EXPECT_DOUBLE_EQ(spread.p95, 7);  // rank 3 of 3
    EXPECT_EQ(SpreadOf({}).count, 0);
}

TEST(BalanceTest, APlayerAtAPersonsPaceLeavesTheGivenTimeBetweenItsKeys) {
    HeadlessReset(CHESSRPG_DATA_DIR);
    ResetGameState();
    HeadlessSetSeconds(1700000000);
    StartGame();
    std::vector<PlayedBattle> played;
    ScriptedPlayer player;
    player.keyIntervalMs = 400;
    player.played = &played;
    std::vector<long long> keyTimes;
    HeadlessSetKeySource([&player, &keyTimes] {
        int key = PlayerKey(player);
        if (key >= 0) keyTimes.push_back(HeadlessMilliseconds());
        return key;
    });
    RunBattle(enemyKinds[kPawn], 2);
    PlayerAfterBattle(player);
    HeadlessSetKeySource(nullptr);

    ASSERT_GE(keyTimes.size(), 6u);
    for (std::size_t i = 1; i < keyTimes.size(); ++i) EXPECT_GE(keyTimes[i] - keyTimes[i - 1], 400) << "key " << i;
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].kind, 1);
    EXPECT_EQ(played[0].group, 2);
    EXPECT_EQ(played[0].outcome, 'w');
    EXPECT_GE(played[0].endMs - played[0].startMs, 400 * static_cast<long long>(keyTimes.size() - 1));
    ResetGameState();
}

// Screen 9 puts up only Rooks and Bishops. The hero at the first level cannot
// beat them with their HP whole and runs; with every HP slot of the two kinds
// spent in earlier battles, each instance falls at the first hit and he wins.
TEST(BalanceTest, BattlesFromASnapshotMeetTheEnemyHpItHolds) {
    HeadlessReset(CHESSRPG_DATA_DIR);
    ResetGameState();
    StartGame();
    GameSnapshot whole = TakeSnapshot();
    GameSnapshot spent = whole;
    for (int kind : {kBishop, kRook}) {
        for (int16_t& slot : spent.kinds[kind].hp) slot = 0;
    }
    PlayStyle style;
    style.useItems = false;

    std::vector<PlayedBattle> against = FightScreen(whole, 9, style, 1700000000);
    ASSERT_EQ(against.size(), 5u);
    for (const PlayedBattle& battle : against) {
        EXPECT_NE(battle.outcome, 'w') << battle.group << " of kind " << battle.kind;
        EXPECT_EQ(battle.level, 1);
    }
    EXPECT_GE(against[0].fleeTries, 1);

    std::vector<PlayedBattle> spentAgainst = FightScreen(spent, 9, style, 1700000000);
    ASSERT_EQ(spentAgainst.size(), 5u);
    for (const PlayedBattle& battle : spentAgainst) {
        EXPECT_EQ(battle.outcome, 'w') << battle.group << " of kind " << battle.kind;
        EXPECT_EQ(battle.fleeTries, 0);
    }
    ResetGameState();
}

}  // namespace
