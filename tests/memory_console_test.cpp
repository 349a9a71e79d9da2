// The in-memory console: wrapping, refused placements, double-byte cells and
// attributes, driven through the console primitives the game uses.
#include <gtest/gtest.h>

#include "console/console.h"
#include "console/texts.h"
#include "game/game.h"
#include "tests/test_support.h"

namespace {

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override { HeadlessReset(); }
};

TEST_F(ConsoleTest, WritingPastColumn79WrapsToTheNextRow) {
    SetCursor(76, 3);
    WriteText("abcdef");
    EXPECT_EQ(ScreenText(3, 76, 80), "abcd");
    EXPECT_EQ(ScreenText(4, 0, 2), "ef");
    EXPECT_EQ(CursorColumn(), 2);
    EXPECT_EQ(CursorRow(), 4);
}

TEST_F(ConsoleTest, ClearConsoleBlanksTwentyNineRowsAndTwentyColumns) {
    for (int row = 0; row < kConsoleRows; ++row) {
        SetCursor(0, row);
        WriteText("%s", std::string(80, 'x').c_str());
    }
    ClearConsole();
    for (int row = 0; row < 29; ++row) EXPECT_EQ(ScreenLine(row), "") << "row " << row;
    EXPECT_EQ(ScreenText(29), std::string(20, ' ') + std::string(60, 'x'));
    EXPECT_EQ(CursorColumn(), 20);
    EXPECT_EQ(CursorRow(), 29);
}

TEST_F(ConsoleTest, ALineBreakGoesToColumnZeroOfTheNextRowAndChangesNoCell) {
    SetCursor(10, 5);
    WriteText("zz");
    SetCursor(10, 5);
    WriteLine(kTextHeroGlyph);
    EXPECT_EQ(ScreenText(5, 10, 12), "●");
    EXPECT_EQ(CursorColumn(), 0);
    EXPECT_EQ(CursorRow(), 6);
    EXPECT_EQ(ScreenLine(6), "");
}

TEST_F(ConsoleTest, ANegativePlacementIsRefusedAndTheNextWriteLandsWhereTheLastEnded) {
    SetCursor(4, 2);
    WriteText("ab");
    SetCursor(-2, 2);
    EXPECT_EQ(consoleCursor.X, -2);  // the game's own copy keeps the value
    WriteText("cd");
    EXPECT_EQ(ScreenText(2, 4, 8), "abcd");
    SetCursor(3, -1);
    WriteText("e");
    EXPECT_EQ(ScreenText(2, 8, 9), "e");
}

TEST_F(ConsoleTest, ADoubleByteCharacterFillsTwoCells) {
    SetCursor(0, 0);
    WriteText("%s", kTextWipeBlock);
    const MemoryConsole& screen = HeadlessScreen();
    EXPECT_EQ(screen.cells[0][0].half, kLeadCell);
    EXPECT_EQ(screen.cells[0][1].half, kTrailCell);
    EXPECT_EQ(CursorColumn(), 2);
    EXPECT_EQ(ScreenText(0, 0, 2), "■");
}

TEST_F(ConsoleTest, ADoubleByteCharacterWrittenByteByByteShowsWhole) {
    SetCursor(5, 1);
    WriteText("%c", kTextHeroGlyph[0]);
    WriteText("%c", kTextHeroGlyph[1]);
    EXPECT_EQ(ScreenText(1, 5, 7), "●");
    EXPECT_EQ(CursorColumn(), 7);
}

TEST_F(ConsoleTest, ADoubleByteCharacterAtTheLastColumnMovesToTheNextRow) {
    SetCursor(79, 0);
    WriteText("%s", kTextHeroGlyph);
    EXPECT_EQ(ScreenText(0, 79, 80), " ");
    EXPECT_EQ(ScreenText(1, 0, 2), "●");
    EXPECT_EQ(CursorColumn(), 2);
}

TEST_F(ConsoleTest, OverwritingHalfOfADoubleByteCharacterBlanksTheOtherHalf) {
    SetCursor(0, 0);
    WriteText("%s%s", kTextHeroGlyph, kTextHeroGlyph);
    SetCursor(1, 0);
    WriteText("x");
    EXPECT_EQ(ScreenText(0, 0, 4), " x●");
    SetCursor(2, 0);
    WriteText("y");
    EXPECT_EQ(ScreenText(0, 0, 4), " xy ");
}

TEST_F(ConsoleTest, BrightAndNormalAttributes) {
    SetNormal();
    SetBright();
    SetBright();  // bright twice stays 15
    EXPECT_EQ(textAttribute, 15);
    SetCursor(0, 0);
    WriteText("%s", kTextHeroGlyph);
    SetNormal();
    WriteText("a");
    EXPECT_EQ(ScreenAttribute(0, 0), 15u);
    EXPECT_EQ(ScreenAttribute(1, 0), 15u);
    EXPECT_EQ(ScreenAttribute(2, 0), 7u);
}

TEST_F(ConsoleTest, WaitForConfirmKeyEndsOnDownRightEnterOrCapitalP) {
    HeadlessPushKeys({'a', 224, KeyUp, 224, KeyLeft, 'P', 'x'});
    WaitForConfirmKey();
    EXPECT_EQ(HeadlessKeysLeft(), 1u);  // 'P' (80) ended the wait
    HeadlessPushArrow(KeyRight);
    HeadlessPushKey(KeyEnter);
    WaitForConfirmKey();
    EXPECT_EQ(HeadlessKeysLeft(), 1u);  // the prefix and 'x' dropped, the right arrow ended it
}

TEST_F(ConsoleTest, AWaitWithNoKeyLeftEndsTheHeadlessRun) {
    try {
        WaitForConfirmKey();
        FAIL() << "the wait returned without a key";
    } catch (const HeadlessStop& stop) {
        EXPECT_EQ(stop.reason, HeadlessStop::kOutOfKeys);
    }
}

TEST_F(ConsoleTest, AKeyDueLaterArrivesAfterTheVirtualClockReachesIt) {
    HeadlessPushKey(KeyEnter, 250);
    WaitForConfirmKey();
    EXPECT_GE(HeadlessMilliseconds(), 250);
    EXPECT_LE(HeadlessMilliseconds(), 252);
}

TEST_F(ConsoleTest, APlayerInCodeAnswersWhenTheScriptIsEmpty) {
    int asked = 0;
    HeadlessSetKeySource([&] { return ++asked < 5 ? -1 : KeyEnter; });
    WaitForConfirmKey();
    EXPECT_EQ(asked, 5);
    HeadlessSetKeySource([] { return -1; });
    HeadlessSetTimeLimit(HeadlessMilliseconds() + 100);
    try {
        WaitForConfirmKey();
        FAIL() << "the wait ended without a key";
    } catch (const HeadlessStop& stop) {
        EXPECT_EQ(stop.reason, HeadlessStop::kTimeLimit);
    }
}

}  // namespace
