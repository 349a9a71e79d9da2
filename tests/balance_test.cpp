// The balance run and its scripted player: the spread of battle lengths, the
// player's pace and its choices in battle, and battles fought from a snapshot.
// The battles play a tree of the shipped world whose hero, abilities and
// enemy kinds are the test's own, so that they do not change with the world.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "battle/battle_flow.h"
#include "game/game.h"
#include "game/game_state.h"
#include "platform/headless.h"
#include "tests/player_estimates.h"
#include "tests/scripted_player.h"
#include "tools/balance/balance_runs.h"
#include "tools/balance/balance_table.h"
#include "tools/bench/scratch_data.h"

namespace {

// The hero at the first level with 5 potions and no boosts; a Pawn he fells
// at a hit or two; a Knight too fast to flee from and too tough to beat alone
// unharmed; a Rook too strong for him, slow enough to flee from; screen 9 puts
// up three Rooks and then two.
void WriteBattleTree(const ScratchData& scratch) {
    std::string error;
    const std::pair<const char*, const char*> files[] = {
        {"Hero_Info/Hero_Status_Info.txt", "\x97\x45\x8e\xd2\n40 10 8 5 5 6\n30 0 1\n0 0 0 0\n1 5 1 0 1 0\n28 10\n"},
        {"Abilities/SwordCut.txt", "\x8e\x61\x8c\x82\n0 2 3\n"},
        {"Abilities/Flame.txt", "\x83\x74\x83\x8c\x83\x43\x83\x80\n0 2 6\n"},
        {"Abilities/BigRevolveSword.txt", "\x91\xe5\x89\xf1\x93\x5d\x8e\x61\x82\xe8\n0 3 5\n"},
        {"Abilities/HellFlame.txt", "\x83\x77\x83\x8b\x83\x74\x83\x8c\x83\x43\x83\x80\n0 3 10\n"},
        {"Abilities/AbsoluteObedience.txt", "\x90\xe2\x91\xce\x95\x9e\x8f\x5d\n0 4 40\n"},
        {"Enemy_Info/Pawn_Status_Info.txt", "\x83\x7c\x81\x5b\x83\x93 1 \x95\xe0\n0 1 12 6 3 2 2 4 0\n"},
        {"Enemy_Info/Knight_Status_Info.txt", "\x83\x69\x83\x43\x83\x67 2 \x8b\x52\n0 1 40 8 5 4 4 12 1\n"},
        {"Enemy_Info/Rook_Status_Info.txt", "\x83\x8b\x81\x5b\x83\x4e 4 \x8f\xe9\n0 1 60 30 10 8 10 1 4\n"},
        {"map_info/map1/9.txt", "2\n4 3 4 6\n4 2 52 6\n"},
    };
    for (const auto& file : files) ASSERT_TRUE(WriteDataFile(scratch, file.first, file.second, error)) << error;
}

struct BattleTree {
    ScratchData scratch;
    std::string error;
    BattleTree() {
        if (!MakeScratchData(scratch, CHESSRPG_DATA_DIR, error)) return;
        WriteBattleTree(scratch);
        HeadlessReset(scratch.data);
        ResetGameState();
        HeadlessSetSeconds(1700000000);
        StartGame();
    }
    ~BattleTree() { ResetGameState(); }
};

// One battle against `count` of the kind, with the player's keys; the keys'
// times are noted.
PlayedBattle PlayBattle(ScriptedPlayer& player, int kind, int count, std::vector<long long>* keyTimes = nullptr) {
    std::vector<PlayedBattle> played;
    player.played = &played;
    HeadlessSetKeySource([&player, keyTimes] {
        int key = PlayerKey(player);
        if (key >= 0 && keyTimes) keyTimes->push_back(HeadlessMilliseconds());
        return key;
    });
    RunBattle(enemyKinds[kind], count);
    PlayerAfterBattle(player);
    HeadlessSetKeySource(nullptr);
    player.played = nullptr;
    return played.empty() ? PlayedBattle{} : played.back();
}

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

PlayedBattle Battle(int kind, int group, long long ms, char outcome, int fleeTries = 0) {
    PlayedBattle battle;
    battle.kind = kind;
    battle.group = group;
    battle.startMs = 1000;
    battle.endMs = 1000 + ms;
    battle.outcome = outcome;
    battle.fleeTries = fleeTries;
    return battle;
}

// What a table printer writes, as text.
template <typename Print>
std::string Printed(Print print) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return "";
    print(file);
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

// Lengths by kind and group size over all screens, in seconds; flights by the
// share of tries, not of battles, that got away.
TEST(BalanceTest, TheTablesGroupByKindAndSizeAndCountFlightsByTries) {
    std::vector<ScreenTrials> screens(2);
    screens[0].played = {Battle(4, 2, 10000, 'w'), Battle(4, 2, 30000, 'l'), Battle(1, 3, 5000, 'w')};
    screens[1].played = {Battle(4, 2, 20000, 'w')};
    screens[0].fleeing = {Battle(4, 2, 9000, 'f', 2), Battle(4, 2, 9000, 'l', 3)};
    std::string lengths = Printed([&screens](std::FILE* out) { PrintLengths(out, screens); });
    EXPECT_NE(lengths.find("Pawn        3        1     5.0    5.0    5.0     0.0"), std::string::npos) << lengths;
    EXPECT_NE(lengths.find("Rook        2        3    20.0   30.0   30.0    33.3"), std::string::npos) << lengths;
    EXPECT_NE(lengths.find("all                  4    15.0   30.0   30.0    25.0"), std::string::npos) << lengths;

    const uint16_t speed = enemyKinds[kRook].speed;
    enemyKinds[kRook].speed = 4;  // the table shows the kind's speed
    std::string flight = Printed([&screens](std::FILE* out) { PrintFlight(out, screens); });
    EXPECT_NE(flight.find("Rook         4      5    20.0  2: 20%"), std::string::npos) << flight;
    enemyKinds[kRook].speed = speed;
}

// Hero speed 6 at level 1 against one enemy of speed 4 (pursuit 3): run
// 12 + 0..6 against chase 12 + 0..3 gets away in 18 of the 28 pairs of draws,
// a tie being a catch; two of them (pursuit 6, chase 24 + 0..6) never.
TEST(BalanceTest, TheChanceOfAFlightCountsEveryPairOfDrawsATieCaught) {
    BattleTree tree;
    ASSERT_EQ(tree.error, "");
    EnemyKind kind = enemyKinds[kPawn];
    kind.speed = 4;
    ASSERT_EQ(hero.speed, 6);
    ASSERT_EQ(hero.level, 1);
    EXPECT_DOUBLE_EQ(FleeChance(kind, 1), 18.0 / 28.0);
    EXPECT_DOUBLE_EQ(FleeChance(kind, 2), 0.0);
    hero.level = 3;  // run 36 + 0..6 against chase 36 + 0..3: the level counts on both sides
    EXPECT_DOUBLE_EQ(FleeChance(kind, 1), 18.0 / 28.0);
}

TEST(BalanceTest, APlayerAtAPersonsPaceLeavesTheGivenTimeBetweenItsKeys) {
    BattleTree tree;
    ASSERT_EQ(tree.error, "");
    ScriptedPlayer player;
    player.keyIntervalMs = 400;
    std::vector<long long> keyTimes;
    PlayedBattle battle = PlayBattle(player, kPawn, 2, &keyTimes);

    ASSERT_GE(keyTimes.size(), 6u);
    for (std::size_t i = 1; i < keyTimes.size(); ++i) EXPECT_GE(keyTimes[i] - keyTimes[i - 1], 400) << "key " << i;
    EXPECT_EQ(battle.kind, 1);
    EXPECT_EQ(battle.group, 2);
    EXPECT_EQ(battle.outcome, 'w');
    EXPECT_GE(battle.endMs - battle.startMs, 400 * static_cast<long long>(keyTimes.size() - 1));
}

// From the Rook it cannot beat it gets away; from the Knights, whom no flight
// escapes, it does not try to run, and it drinks as its HP runs low.
TEST(BalanceTest, ThePlayerFleesWhenFlightHasAChanceAndDrinksWhenItsHpRunsLow) {
    BattleTree tree;
    ASSERT_EQ(tree.error, "");
    ScriptedPlayer player;
    PlayedBattle rook = PlayBattle(player, kRook, 1);
    EXPECT_EQ(rook.outcome, 'f');
    EXPECT_GE(rook.fleeTries, 1);
    EXPECT_EQ(rook.potions, 0);

    PlayedBattle knights = PlayBattle(player, kKnight, 2);
    EXPECT_EQ(knights.fleeTries, 0);
    EXPECT_GE(knights.potions, 1);
    EXPECT_EQ(hero.items[kPotion].count, 5 - knights.potions);
}

// The hero cannot beat the Rooks with their HP whole; with every HP slot of the
// kind spent in earlier battles, each falls at the first hit and he wins.
TEST(BalanceTest, BattlesFromASnapshotMeetTheEnemyHpItHolds) {
    BattleTree tree;
    ASSERT_EQ(tree.error, "");
    GameSnapshot whole = TakeSnapshot();
    GameSnapshot spent = whole;
    for (int16_t& slot : spent.kinds[kRook].hp) slot = 0;
    PlayStyle style;
    style.dataRoot = tree.scratch.data;

    std::vector<PlayedBattle> against = FightScreen(whole, 9, style, 1700000000);
    ASSERT_EQ(against.size(), 2u);
    for (const PlayedBattle& battle : against) {
        EXPECT_NE(battle.outcome, 'w') << battle.group << " Rooks";
        EXPECT_EQ(battle.level, 1);
    }
    std::vector<PlayedBattle> spentAgainst = FightScreen(spent, 9, style, 1700000000);
    ASSERT_EQ(spentAgainst.size(), 2u);
    for (const PlayedBattle& battle : spentAgainst) {
        EXPECT_EQ(battle.outcome, 'w') << battle.group << " Rooks";
        EXPECT_EQ(battle.turns, battle.group);  // one hit each, never answered
    }
}

}  // namespace
