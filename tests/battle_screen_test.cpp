// The battle screen's frames and status panel at their exact cells, with their
// attributes, the cursor and the virtual time they take.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "battle/battle_state.h"
#include "console/battle_screen.h"
#include "console/console.h"
#include "console/enemy_view.h"
#include "game/game_state.h"
#include "tests/test_support.h"

namespace {

class BattleScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        HeadlessReset();
        ResetGameState();
        SetNormal();  // a battle starts in the normal attribute
        hero.level = 3;
        hero.maxHp = 36;
        hero.hp = 36;
    }
    // Draws the HP panel as at the battle's start and starts timing from there.
    void DrawPanelAt(int hp, int maxHp) {
        hero.hp = static_cast<int16_t>(hp);
        hero.maxHp = static_cast<uint16_t>(maxHp);
        DrawHpPanel();
        clockStart = HeadlessMilliseconds();
    }
    long long Elapsed() const { return HeadlessMilliseconds() - clockStart; }
    long long clockStart = 0;
};

// ---- the whole opening picture ----

TEST_F(BattleScreenTest, OpeningSequenceLeavesTheWholeScreenInPlace) {
    EnemyKind kind{};
    std::strcpy(kind.glyph, Sjis("Ｐ").c_str());
    battleState.enemiesLeft = 3;

    SlideInCommandBoxes();
    DrawCommandLabels();
    DrawEnemyViewFrame();
    DrawEnemyGroup(kind, battleState.enemiesLeft + battleState.defeatedCount);
    DrawMessageFrame();
    DrawHpPanel();
    DrawLevelLine();
    DrawBoostSeparators();

    const std::string view = "|" + Blanks(22) + "|";
    const std::string message = "|" + Blanks(52) + "|";
    const std::string top = "＿＿＿＿＿＿";
    const std::string bottom = "￣￣￣￣￣￣";
    const std::string rows[19] = {
        Blanks(9) + top + Blanks(4) + " ___Enemy View_________",
        Blanks(7) + "／ たたかう ／" + Blanks(4) + view,
        Blanks(7) + bottom + Blanks(6) + "|" + Blanks(8) + "Ｐ  Ｐ" + Blanks(8) + "|",
        Blanks(7) + top + Blanks(6) + view,
        Blanks(5) + "／ ぼうぎょ ／" + Blanks(6) + "|" + Blanks(10) + "Ｐ" + Blanks(10) + "|",
        Blanks(5) + bottom + Blanks(8) + view,
        Blanks(5) + top + Blanks(8) + " " + Repeat("￣", 11),
        Blanks(3) + "／ アイテム ／",
        Blanks(3) + bottom,
        Blanks(3) + top,
        " ／  にげる  ／",
        " " + bottom,
        Blanks(4) + "|  Lv : 3" + Blanks(12) + "|" + Repeat("￣", 26) + "|",
        " ---+" + std::string(18, '-') + Blanks(2) + message,
        Blanks(4) + "|  HP : 36 / 36" + Blanks(6) + message,
        Blanks(25) + message,
        Blanks(4) + "+" + Blanks(20) + message,
        Blanks(4) + "+" + Blanks(20) + message,
        Blanks(4) + "+" + Blanks(20) + "|" + Repeat("＿", 26) + "|",
    };
    for (int row = 0; row < 19; ++row) EXPECT_EQ(ScreenLine(row), rows[row]) << "row " << row;
    for (int row = 19; row < 30; ++row) EXPECT_EQ(ScreenLine(row), "") << "row " << row;

    // 4 slides of 25 ms, 4 labels of 100 ms, 18 dashes of 30 ms, 3 separators of 10 ms.
    EXPECT_EQ(HeadlessMilliseconds(), 100 + 400 + 540 + 30);
    EXPECT_EQ(panelColumn, 1);
    EXPECT_EQ(viewColumn, 25);

    // Box 1 holds the command cursor: bright; the labels and the rest are normal.
    EXPECT_EQ(ScreenAttribute(9, 0), 15u);
    EXPECT_EQ(ScreenAttribute(7, 1), 15u);
    EXPECT_EQ(ScreenAttribute(20, 1), 15u);
    EXPECT_EQ(ScreenAttribute(18, 2), 15u);
    EXPECT_EQ(ScreenAttribute(10, 1), 7u);
    EXPECT_EQ(ScreenAttribute(7, 3), 7u);
    EXPECT_EQ(ScreenAttribute(11, 14), 7u);  // "HP : " normal
    EXPECT_EQ(ScreenAttribute(12, 14), 15u);  // the number bright
    EXPECT_EQ(ScreenAttribute(13, 14), 15u);
    EXPECT_EQ(ScreenAttribute(15, 14), 7u);  // " / 36" normal
}

// ---- command boxes ----

TEST_F(BattleScreenTest, SlideInLeavesOnlyTheLastFrameOfEachBoxAndRestoresThePanelColumn) {
    SlideInCommandBoxes();
    EXPECT_EQ(HeadlessMilliseconds(), 100);
    EXPECT_EQ(panelColumn, 1);
    EXPECT_EQ(textAttribute, 7);
    EXPECT_EQ(ScreenLine(0), Blanks(9) + "＿＿＿＿＿＿");
    EXPECT_EQ(ScreenLine(1), Blanks(7) + "／" + Blanks(10) + "／");
    EXPECT_EQ(ScreenLine(2), Blanks(7) + "￣￣￣￣￣￣");
    EXPECT_EQ(ScreenLine(10), " ／" + Blanks(10) + "／");
    EXPECT_EQ(ScreenLine(11), " ￣￣￣￣￣￣");
    for (int row = 12; row < 30; ++row) EXPECT_EQ(ScreenLine(row), "") << "row " << row;
    for (int box = 1; box <= 4; ++box) {
        const int row = 3 * box - 2;
        const unsigned expected = box == 1 ? 15u : 7u;
        EXPECT_EQ(ScreenAttribute(8 - 2 * box + 1, row), expected) << "box " << box;
        EXPECT_EQ(ScreenAttribute(20 - 2 * box + 1, row), expected) << "box " << box;
    }
}

TEST_F(BattleScreenTest, CommandBoxHighlightAndBoxNumbersOutsideTheMenuDrawNothing) {
    SetBright();
    DrawCommandBox(3);
    SetNormal();
    EXPECT_EQ(ScreenLine(6), Blanks(5) + "＿＿＿＿＿＿");
    EXPECT_EQ(ScreenAttribute(5, 6), 15u);
    EXPECT_EQ(ScreenAttribute(3, 7), 15u);
    EraseCommandBox(3);
    for (int row = 6; row <= 8; ++row) EXPECT_EQ(ScreenLine(row), "") << "row " << row;

    const long long writes = HeadlessWriteCount();
    DrawCommandBox(0);
    DrawCommandBox(5);
    EraseCommandBox(-1);
    EXPECT_EQ(HeadlessWriteCount(), writes);
}

TEST_F(BattleScreenTest, LabelsStandAtFixedColumnsWhateverThePanelColumn) {
    panelColumn = 7;
    DrawCommandLabels();
    EXPECT_EQ(HeadlessMilliseconds(), 400);
    EXPECT_EQ(ScreenLine(1), Blanks(10) + "たたかう");
    EXPECT_EQ(ScreenLine(4), Blanks(8) + "ぼうぎょ");
    EXPECT_EQ(ScreenLine(7), Blanks(6) + "アイテム");
    EXPECT_EQ(ScreenLine(10), Blanks(5) + "にげる");
    EXPECT_EQ(consoleCursor.X, 2);
    EXPECT_EQ(consoleCursor.Y, 13);
}

// ---- bar lengths ----

TEST(BarLengthTest, HpBarFollowsTheDoubleArithmeticAndNeverDividesByZero) {
    struct Case {
        int hp, maxHp, dashes;
    } cases[] = {
        {36, 36, 18}, {519, 519, 17}, {55, 66, 14}, {66, 66, 18}, {99, 120, 14}, {1, 100, 0},
        {50, 100, 9}, {0, 66, 0},     {-5, 66, 0},  {10, 0, 0},   {0, 0, 0},     {200, 100, 18},
    };
    for (const Case& c : cases) EXPECT_EQ(HpBarLength(c.hp, c.maxHp), c.dashes) << c.hp << " of " << c.maxHp;
}

TEST(BarLengthTest, BoostBarByTurnsLeft) {
    const int expected[] = {0, 1, 3, 5, 7, 9, 10, 12, 14, 16, 18, 18};
    for (int turns = 0; turns <= 11; ++turns) EXPECT_EQ(BoostBarLength(turns), expected[turns]) << turns;
    EXPECT_EQ(BoostBarLength(-1), 0);
    EXPECT_EQ(BoostBarLength(12), 18);  // never wider than the 18 blanks that clear it
}

// ---- HP panel ----

TEST_F(BattleScreenTest, CountDownStopsAtZeroLeavingZeroAndAnEmptyBar) {
    DrawPanelAt(5, 36);
    CountDownHp(10);
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(ScreenLine(14), Blanks(4) + "|  HP : 0 / 36");
    EXPECT_EQ(ScreenText(14, 12, 14), "0 ");
    EXPECT_EQ(ScreenAttribute(12, 14), 15u);
    EXPECT_EQ(ScreenLine(13), " ---+");
    EXPECT_EQ(Elapsed(), 4 * 20);  // no pause after the step that reaches 0
    EXPECT_EQ(textAttribute, 7);
    EXPECT_EQ(CursorColumn(), 5);
    EXPECT_EQ(CursorRow(), 13);
}

TEST_F(BattleScreenTest, CountDownPacesTwentyMillisecondsAPointWithTheBarFollowing) {
    DrawPanelAt(36, 36);
    CountDownHp(3);
    EXPECT_EQ(hero.hp, 33);
    EXPECT_EQ(Elapsed(), 60);
    EXPECT_EQ(ScreenLine(14), Blanks(4) + "|  HP : 33 / 36");
    EXPECT_EQ(ScreenLine(13), " ---+" + std::string(16, '-'));
    EXPECT_EQ(CursorColumn(), 12);
    EXPECT_EQ(CursorRow(), 14);
}

TEST_F(BattleScreenTest, ThreeDigitsToTwoLeavesNoStaleDigit) {
    DrawPanelAt(100, 120);
    EXPECT_EQ(ScreenLine(14), Blanks(4) + "|  HP : 100 / 120");
    CountDownHp(1);
    EXPECT_EQ(ScreenLine(14), Blanks(4) + "|  HP : 99  / 120");
    EXPECT_EQ(ScreenLine(13), " ---+" + std::string(14, '-'));
    EXPECT_EQ(Elapsed(), 20);
}

TEST_F(BattleScreenTest, CountDownOfNothingChangesNothingAndAnEmptyHpIsNotLowered) {
    DrawPanelAt(20, 36);
    const std::string line13 = ScreenLine(13), line14 = ScreenLine(14);
    const long long writes = HeadlessWriteCount();
    CountDownHp(0);
    CountDownHp(-4);
    EXPECT_EQ(hero.hp, 20);
    EXPECT_EQ(HeadlessWriteCount(), writes);
    EXPECT_EQ(textAttribute, 7);
    EXPECT_EQ(Elapsed(), 0);

    hero.hp = 0;
    CountDownHp(3);
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(HeadlessWriteCount(), writes);
    EXPECT_EQ(ScreenLine(13), line13);
    EXPECT_EQ(ScreenLine(14), line14);
}

TEST_F(BattleScreenTest, RedrawHpBarClearsTheOldBarAtOnce) {
    DrawPanelAt(36, 36);
    hero.hp = 18;
    RedrawHpBar();
    EXPECT_EQ(ScreenLine(13), " ---+" + std::string(9, '-'));
    EXPECT_EQ(Elapsed(), 0);
    hero.maxHp = 0;  // a hero file may hold a maximum of 0
    RedrawHpBar();
    EXPECT_EQ(ScreenLine(13), " ---+");
}

TEST_F(BattleScreenTest, HpPanelGrowsTheBarThirtyMillisecondsADash) {
    hero.hp = 55;
    hero.maxHp = 66;
    DrawHpPanel();
    EXPECT_EQ(HeadlessMilliseconds(), 14 * 30);
    EXPECT_EQ(ScreenLine(12), Blanks(4) + "|");
    EXPECT_EQ(ScreenLine(13), " ---+" + std::string(14, '-'));
    EXPECT_EQ(ScreenLine(14), Blanks(4) + "|  HP : 55 / 66");
}

// ---- boost rows ----

TEST_F(BattleScreenTest, BoostBarFillsSlowlyForANewBoostAndAtOnceOtherwise) {
    SetBright();
    DrawBoostBar(11, 1);
    EXPECT_EQ(HeadlessMilliseconds(), 18 * 5);
    EXPECT_EQ(ScreenLine(17), Blanks(5) + std::string(18, '-'));
    EXPECT_EQ(ScreenAttribute(5, 17), 7u);

    DrawBoostBar(10, 1);
    EXPECT_EQ(HeadlessMilliseconds(), 90);
    EXPECT_EQ(ScreenLine(17), Blanks(5) + std::string(18, '-'));

    DrawBoostBar(1, 1);
    EXPECT_EQ(HeadlessMilliseconds(), 90);
    EXPECT_EQ(ScreenLine(17), Blanks(5) + "-");

    DrawBoostBar(0, 1);
    EXPECT_EQ(ScreenLine(17), "");
}

TEST_F(BattleScreenTest, BoostRowsOutsideThePanelDrawNothing) {
    const long long writes = HeadlessWriteCount();
    DrawBoostBar(5, 3);
    DrawBoostBar(5, -1);
    EXPECT_EQ(HeadlessWriteCount(), writes);
    DrawBoostSeparators();
    EXPECT_EQ(HeadlessMilliseconds(), 30);
    for (int row = 16; row <= 18; ++row) EXPECT_EQ(ScreenLine(row), Blanks(4) + "+") << "row " << row;
}

}  // namespace
