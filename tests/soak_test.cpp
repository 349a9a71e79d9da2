// The whole game on the shipped data (start-up, main loop, encounters, battles,
// screen changes) fed random keys, with every invariant of game_invariants.h
// checked at each key poll and the battle state checked after each pass of the
// main loop. 20,000 keys here from the start of the game and 10,000 from the
// late game (the scripted player plays up to the fifth ability first);
// CHESSRPG_SOAK_KEYS=200000 runs the long soak, that many keys each.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "battle/battle_state.h"
#include "console/console.h"
#include "game/game.h"
#include "game/game_state.h"
#include "records/records.h"
#include "platform/headless.h"
#include "tests/game_invariants.h"
#include "tests/scripted_player.h"

namespace {

constexpr long kShortSoakKeys = 20000;
constexpr long kKeysPerGame = 50000;  // each game starts afresh, so the early game is soaked often
constexpr int kArrowScans[] = {KeyUp, KeyLeft, KeyRight, KeyDown};

long SoakKeys() {
    const char* text = std::getenv("CHESSRPG_SOAK_KEYS");
    long keys = text ? std::atol(text) : 0;
    return keys > 0 ? keys : kShortSoakKeys;
}

struct SoakGame {
    std::mt19937 random;
    long keysLeft = 0;
    int pendingScan = -1;  // the second code of an arrow
    InvariantWatch watch;
    std::string failure;
};

[[noreturn]] void Stop() { throw HeadlessStop{HeadlessStop::kOutOfKeys, 0}; }

void Fail(SoakGame& game, const std::string& what, const char* where) {
    game.failure = std::string(where) + " at " + std::to_string(HeadlessMilliseconds()) + " ms with " +
                   std::to_string(game.keysLeft) + " keys left: " + what;
    Stop();
}

// Keys biased toward what the game reads: arrows as the console gives them
// (224 or 0, then the scan code) and bare, Enter, space, and any other byte.
int SoakKey(SoakGame& game) {
    std::string failed = CheckAtPoll(game.watch);
    if (!failed.empty()) Fail(game, failed, "poll");
    if (game.keysLeft <= 0) Stop();
    // A hero file may carry any number of items: topped up on the field, they
    // keep potions and boosts coming for the whole run.
    if (!InBattle()) {
        for (ItemStock& stock : hero.items) {
            if (stock.count < 2) stock.count = 5;
        }
    }
    if (game.pendingScan >= 0) {
        int scan = game.pendingScan;
        game.pendingScan = -1;
        --game.keysLeft;
        return scan;
    }
    // No key now: time passes. Often on the field, so that the enemies come.
    uint32_t roll = game.random() % 100;
    if (roll < (InBattle() ? 10u : 60u)) return -1;
    --game.keysLeft;
    int arrow = kArrowScans[game.random() % 4];
    roll = game.random() % 100;
    if (roll < 30 || roll >= 95) {
        game.pendingScan = arrow;
        return roll < 30 ? 224 : 0;
    }
    if (roll < 45) return arrow;
    if (roll < 70) return KeyEnter;
    if (roll < 80) return KeySpace;
    return static_cast<int>(game.random() % 256);
}

// The random keys from the start, or once the scripted player has reached the
// fifth ability (the invariants are checked at the player's polls too).
void PlaySoakGame(SoakGame& game, long keys, uint32_t seed, bool lateGame = false) {
    HeadlessReset(CHESSRPG_DATA_DIR);
    ResetGameState();
    game.random.seed(seed);
    game.keysLeft = keys;
    HeadlessSetSeconds(1000000 + seed);
    HeadlessSetTimeLimit(1000LL * 24 * 3600 * 1000);
    ScriptedPlayer player;
    player.stopAtFifthAbility = false;
    HeadlessSetKeySource([&game, &player, lateGame] {
        if (!lateGame) return SoakKey(game);
        if (player.sawFifthAbility) {
            if (player.stopAtFifthAbility) return SoakKey(game);
            player.stopAtFifthAbility = true;  // from here on the random keys play
            game.watch = InvariantWatch{};
            return SoakKey(game);
        }
        int key = PlayerKey(player);
        if (!player.failure.empty()) Fail(game, player.failure, "player");
        return key;
    });
    try {
        StartGame();
        for (;;) {
            MainLoopPass();
            std::string failed = CheckBetweenPasses(game.watch);
            if (!failed.empty()) Fail(game, failed, "between passes");
        }
    } catch (const HeadlessStop&) {
    }
    HeadlessSetKeySource(nullptr);
}

TEST(SoakTest, RandomKeysKeepEveryInvariant) {
    long total = SoakKeys();
    uint32_t seed = 1;
    for (long left = total; left > 0; left -= kKeysPerGame, ++seed) {
        SoakGame game;
        PlaySoakGame(game, left < kKeysPerGame ? left : kKeysPerGame, seed);
        ASSERT_EQ(game.failure, "") << "seed " << seed << "; " << Summary(game.watch);
        std::cout << "soak seed " << seed << ": " << HeadlessMilliseconds() / 1000 << " virtual s, "
                  << Summary(game.watch) << "\n";
    }
    ResetGameState();
}

TEST(SoakTest, RandomKeysInTheLateGameKeepEveryInvariant) {
    long total = SoakKeys() / 2;
    uint32_t seed = 101;
    for (long left = total; left > 0; left -= kKeysPerGame, ++seed) {
        SoakGame game;
        PlaySoakGame(game, left < kKeysPerGame ? left : kKeysPerGame, seed, true);
        ASSERT_EQ(game.failure, "") << "seed " << seed << "; " << Summary(game.watch);
        std::cout << "late-game soak seed " << seed << ": " << HeadlessMilliseconds() / 1000
                  << " virtual s in all; after the fifth ability " << Summary(game.watch) << "\n";
    }
    ResetGameState();
}

}  // namespace
