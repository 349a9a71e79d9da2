// The level-up window's contents: labels, sliding gains, the experience count
// that a key completes, and the rising values.
#include <gtest/gtest.h>

#include <cstring>

#include "battle/battle_state.h"
#include "battle/level_up.h"
#include "console/console.h"
#include "console/texts.h"
#include "records/records.h"
#include "tests/test_support.h"

namespace {

class LevelUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        HeadlessReset();
        ClearRecords();
        viewColumn = 25;
        levelUpSnapshot = HeroStatus{};
        levelUpSnapshot.level = 3;
        levelUpSnapshot.maxHp = 50;
        levelUpSnapshot.attack = 12;
        levelUpSnapshot.defense = 10;
        levelUpSnapshot.magicAttack = 7;
        levelUpSnapshot.magicDefense = 7;
        levelUpSnapshot.speed = 9;
        hero = levelUpSnapshot;
        hero.level = 4;
        hero.maxHp = 57;
        hero.attack = 14;
        hero.defense = 11;
        hero.magicAttack = 8;
        hero.magicDefense = 7;  // no gain: "0" slides in once
        hero.speed = 8;         // a loss: the "+" alone
        hero.exp = 12;
        expGained = 40;
    }
};

TEST_F(LevelUpTest, GainsSlideInAfterTheirLabelsAndTheExperienceCountsUp) {
    DrawLevelUpGains();
    EXPECT_EQ(ScreenText(2, 27, 80), "レベル         <==         +1" + std::string(24, ' '));
    EXPECT_EQ(ScreenText(3, 25, 60), "  体力           <==         +7    ");
    EXPECT_EQ(ScreenText(4, 54, 58), "+2  ");
    EXPECT_EQ(ScreenText(6, 54, 58), "+1  ");
    EXPECT_EQ(ScreenText(7, 27, 58), "魔法防御力     <==         +0  ");
    EXPECT_EQ(ScreenText(8, 54, 80), "+" + std::string(25, ' '));
    EXPECT_EQ(ScreenText(9, 27, 58), "経験値         <==         +40 ");
    // 8 labels at 50 ms; gains 1, 7, 2, 1, 1, 0 slide 2, 8, 3, 2, 2, 1 numbers
    // in 21 steps of 1 ms; the speed's loss slides none; the count 0..40.
    EXPECT_EQ(HeadlessMilliseconds(), 8 * 50 + (2 + 8 + 3 + 2 + 2 + 1) * 21 + 41);
}

TEST_F(LevelUpTest, AKeyCompletesTheExperienceCountAndIsConsumed) {
    expGained = 5000;
    long long countStarts = 8 * 50 + 18 * 21;
    ShowKeyHint(kTextHintAbilities);  // the list the winning blow was chosen from
    HeadlessPushKey('z', countStarts + 100);
    HeadlessPushKey(KeyEnter, countStarts + 200);
    DrawLevelUpGains();
    EXPECT_EQ(ScreenText(9, 55, 60), "5000 ");
    EXPECT_LT(HeadlessMilliseconds(), countStarts + 200);
    EXPECT_EQ(HeadlessKeysLeft(), 1u);  // any key stops the count; the next wait needs its own
    EXPECT_EQ(HeadlessHintsAtKeyReads(), std::vector<std::string>{kTextHintLevelUp}) << "the window's own key help";
}

TEST_F(LevelUpTest, ABigGainLeavesNoDigitsOfItsSlideBehind) {
    levelUpSnapshot.maxHp = 50;
    hero.maxHp = 50 + 100;  // three-digit numbers slide in the last step
    SetCursor(25 + 29, 3);
    SlideGain(hero.maxHp, levelUpSnapshot.maxHp);
    EXPECT_EQ(ScreenText(3, 54, 80), "+100" + std::string(22, ' '));
}

TEST_F(LevelUpTest, ValuesRiseFromTheBottomRowIntoPlace) {
    hero.exp = 123456;
    DrawLevelUpValues();
    EXPECT_EQ(ScreenText(2, 63, 80), ":     4" + std::string(10, ' '));
    EXPECT_EQ(ScreenText(3, 63, 72), ":     57 ");
    EXPECT_EQ(ScreenText(8, 63, 72), ":     8  ");
    EXPECT_EQ(ScreenText(9, 63, 80), ":     123456" + std::string(5, ' '));
    // Rows 9 down to 2, 9 down to 3, ... one row each for the experience: 5 ms a row.
    EXPECT_EQ(HeadlessMilliseconds(), (8 + 7 + 6 + 5 + 4 + 3 + 2 + 1) * 5);
}

TEST_F(LevelUpTest, ALongValueRisingLeavesNothingOnTheRowsItPassed) {
    RiseValue(4294967295u, 9, 7);
    EXPECT_EQ(ScreenText(7, 63, 80), ":     4294967295 ");
    EXPECT_EQ(ScreenLine(8), "");
    EXPECT_EQ(ScreenLine(9), "");
}

}  // namespace
