// A trial run on the shipped world: the hero where --start puts him, the
// screen as on entering it, and no enemies on any screen with --no-enemies.
#include <gtest/gtest.h>

#include "console/console.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "field/world_map.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/trial_run.h"
#include "tests/test_support.h"

namespace {

class TrialRunTest : public ::testing::Test {
protected:
    TempTree tree;
    void SetUp() override {
        CopyShippedData(tree);
        HeadlessReset(tree.root);
        ResetGameState();
        StartGame();
    }
    void TearDown() override { ResetGameState(); }
};

TEST_F(TrialRunTest, TheHeroStartsWhereAskedAndTheScreenShowsAsOnEnteringIt) {
    TrialRun trial;
    ASSERT_TRUE(ParseStartPlace("3,30,8", trial));
    BeginTrialRun(trial);
    EXPECT_EQ(hero.screenNo, 3);
    EXPECT_EQ(ScreenText(8, 30, 32), "●");
    // Screen 3's own groups, and the King at (31, 5) in bright white, which
    // opens the gate of screen 9.
    EXPECT_EQ(roamingCount, 3);
    EXPECT_EQ(ScreenText(12, 12, 14), "騎");
    EXPECT_EQ(ScreenText(4, 30, 32), "王");
    EXPECT_EQ(ScreenAttribute(30, 4), 15u);
    EXPECT_TRUE(GateIsOpen());
    // The first screen's field is gone from the console.
    EXPECT_EQ(ScreenText(10, 28, 30), "  ");
}

TEST_F(TrialRunTest, WithoutEnemiesEveryScreenIsEmptyAndTheHeroStaysWhereTheMapPutHim) {
    TrialRun trial;
    trial.on = trial.noEnemies = true;
    BeginTrialRun(trial);
    EXPECT_EQ(hero.screenNo, 1);
    EXPECT_EQ(roamingCount, 0);
    EXPECT_EQ(ScreenText(5, 12, 14), "  ");  // the Pawn of the shipped screen 1
    EXPECT_EQ(ScreenText(10, 28, 30), "●");
    ChangeScreen(KeyDown);  // into screen 4, whose file lists three groups
    EXPECT_EQ(hero.screenNo, 4);
    EXPECT_EQ(roamingCount, 0);
}

TEST(StartPlaceTest, ThreeNumbersWithinTheScreen) {
    TrialRun trial;
    EXPECT_TRUE(ParseStartPlace("9,58,19", trial));
    EXPECT_TRUE(trial.placed);
    EXPECT_EQ(trial.screen, 9);
    EXPECT_EQ(trial.column, 58);
    EXPECT_EQ(trial.row, 19);
    EXPECT_TRUE(ParseStartPlace("1,0,0", trial));
    for (const char* wrong : {"0,1,1", "10,1,1", "1,59,0", "1,0,20", "1,2", "1,2,3,4", "1,,2", " 1,2,3", "1,2,3 ",
                              "-1,2,3", "1,a,3", "", "99999999999999999999,1,1"}) {
        TrialRun untouched;
        EXPECT_FALSE(ParseStartPlace(wrong, untouched)) << wrong;
        EXPECT_FALSE(untouched.placed) << wrong;
    }
}

}  // namespace
