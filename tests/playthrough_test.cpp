// The shipped world played from the first Pawn to the fifth ability by the
// scripted player, on the virtual clock.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "battle/ability_command.h"
#include "game/game.h"
#include "game/game_state.h"
#include "records/records.h"
#include "platform/headless.h"
#include "tests/scripted_player.h"

namespace {

TEST(PlaythroughTest, TheShippedWorldTakesThePlayerToTheFifthAbility) {
    HeadlessReset(CHESSRPG_DATA_DIR);
    ResetGameState();
    HeadlessSetSeconds(1700000000);
    HeadlessSetTimeLimit(7LL * 24 * 3600 * 1000);
    ScriptedPlayer player;
    player.trace = std::getenv("CHESSRPG_PLAYER_TRACE") != nullptr;
    HeadlessSetKeySource([&player] { return PlayerKey(player); });
    try {
        StartGame();
        for (;;) {
            MainLoopPass();
            std::string failed = CheckBetweenPasses(player.watch);
            if (!failed.empty()) {
                player.failure = failed;
                break;
            }
        }
    } catch (const HeadlessStop&) {
    }
    HeadlessSetKeySource(nullptr);
    std::cout << "playthrough: " << player.watch.battles << " battles (" << player.watch.won << " won, "
              << player.watch.lost << " lost, " << player.watch.fled << " fled), "
              << HeadlessMilliseconds() / 60000.0 << " virtual minutes, " << player.screenChanges
              << " screen changes, level " << hero.level << "\n";
    EXPECT_EQ(player.failure, "") << Summary(player.watch);
    EXPECT_GE(hero.level, 25);
    EXPECT_EQ(AbilitiesListed(hero.level), 5);
    EXPECT_TRUE(player.sawFifthAbility);
    ResetGameState();
}

}  // namespace
