// Drawing the field, the walk test, the hero's moves and the screen changes.
#include <gtest/gtest.h>

#include <vector>

#include "console/console.h"
#include "console/texts.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "game/game.h"
#include "records/records.h"
#include "tests/field_test_support.h"

namespace {

class FieldScreenTest : public BlankFieldTest {
protected:
    // The hero's column after each of `count` presses of an arrow.
    std::vector<int> Columns(int key, int count) {
        std::vector<int> columns;
        for (int i = 0; i < count; ++i) {
            MoveHero(key);
            columns.push_back(hero.fieldX);
        }
        return columns;
    }
};

TEST_F(FieldScreenTest, RightStepsEndOneColumnShortOfTheEdgeThenPassIntoTheNextScreen) {
    hero.fieldX = 54;
    EXPECT_EQ(Columns(KeyRight, 2), (std::vector<int>{56, 57}));
    EXPECT_EQ(hero.screenNo, 5);
    MoveHero(KeyRight);
    EXPECT_EQ(hero.screenNo, 6);
    EXPECT_EQ(hero.fieldX, 0);
    EXPECT_EQ(hero.fieldY, 10);

    // With an obstacle in the neighbour's column 0 the step from 57 goes one
    // column, and the next one is blocked.
    ResetField(5, 57, 10);
    PutCell(6, 10, 0);
    EXPECT_EQ(Columns(KeyRight, 2), (std::vector<int>{58, 58}));
    EXPECT_EQ(hero.screenNo, 5);
    // One row down the neighbour's column 0 is open: from 58 the hero passes on.
    MoveHero(KeyDown);
    MoveHero(KeyRight);
    EXPECT_EQ(hero.screenNo, 6);
    EXPECT_EQ(hero.fieldX, 0);
    EXPECT_EQ(hero.fieldY, 11);
}

TEST_F(FieldScreenTest, LeftStepsGoTwoColumnsDownToOneThenOneThenIntoTheNeighbour) {
    hero.fieldX = 57;
    std::vector<int> expected;
    for (int x = 55; x >= 1; x -= 2) expected.push_back(x);
    expected.push_back(0);
    EXPECT_EQ(Columns(KeyLeft, static_cast<int>(expected.size())), expected);
    MoveHero(KeyLeft);
    EXPECT_EQ(hero.screenNo, 4);
    EXPECT_EQ(hero.fieldX, 57);
}

TEST_F(FieldScreenTest, AWallTwoColumnsAwayAllowsOneColumn) {
    PutCell(5, 10, 31);
    EXPECT_EQ(CheckHeroStep(KeyRight), kStepOneColumn);
    EXPECT_EQ(Columns(KeyRight, 2), (std::vector<int>{29, 29}));
    PutCell(5, 10, 25);
    EXPECT_EQ(Columns(KeyLeft, 3), (std::vector<int>{27, 26, 26}));
}

TEST_F(FieldScreenTest, UpAndDownPassToTheScreensAboveAndBelowInTheSameColumn) {
    hero.fieldY = 0;
    MoveHero(KeyUp);
    EXPECT_EQ(hero.screenNo, 2);
    EXPECT_EQ(hero.fieldY, 19);
    EXPECT_EQ(hero.fieldX, 28);
    // Only the neighbour's cells under both halves of the hero are tested.
    PutCell(5, 0, 29);
    EXPECT_EQ(CheckHeroStep(KeyDown), kStepBlocked);
    hero.fieldX = 30;
    MoveHero(KeyDown);
    EXPECT_EQ(hero.screenNo, 5);
    EXPECT_EQ(hero.fieldY, 0);
}

TEST_F(FieldScreenTest, TheLandingCellsOfASidewaysChangeAreNotTested) {
    // Passing right tests this screen's column 59 and the neighbour's column 0.
    hero.fieldX = 57;
    PutCell(6, 10, 1);
    MoveHero(KeyRight);
    EXPECT_EQ(hero.screenNo, 6);
    EXPECT_EQ(hero.fieldX, 0);
    // Passing left tests the neighbour's columns 59 and 58, lands on 57 and 58.
    PutCell(5, 10, 57);
    MoveHero(KeyLeft);
    EXPECT_EQ(hero.screenNo, 5);
    EXPECT_EQ(hero.fieldX, 57);
}

TEST_F(FieldScreenTest, AOneColumnStepFromColumnZeroIsBlockedRatherThanLeavingTheScreen) {
    hero.fieldX = 0;
    PutCell(4, 10, 58);  // the neighbour's column 59 is open, its column 58 is not
    EXPECT_EQ(CheckHeroStep(KeyLeft), kStepBlocked);
    MoveHero(KeyLeft);
    EXPECT_EQ(hero.fieldX, 0);
    EXPECT_EQ(hero.screenNo, 5);
}

TEST_F(FieldScreenTest, TheOpenOuterEdgeOfTheWorldIsAWall) {
    // An empty world: every outer edge is open ground.
    ResetField(1, 0, 0);
    EXPECT_EQ(CheckHeroStep(KeyUp), kStepBlocked);
    EXPECT_EQ(CheckHeroStep(KeyLeft), kStepBlocked);
    ResetField(7, 0, 19);
    EXPECT_EQ(CheckHeroStep(KeyDown), kStepBlocked);
    EXPECT_EQ(CheckHeroStep(KeyLeft), kStepBlocked);
    ResetField(9, 57, 19);
    EXPECT_EQ(Columns(KeyRight, 2), (std::vector<int>{58, 58}));
    EXPECT_EQ(CheckHeroStep(KeyDown), kStepBlocked);
    EXPECT_EQ(hero.screenNo, 9);
    // A figure beyond the screen's region reads the neighbours, never past the grid.
    EXPECT_EQ(CheckStepAt(3, 200, 70, KeyRight), kStepBlocked);
    EXPECT_EQ(CheckStepAt(1, -100, -100, KeyUp), kStepBlocked);
    EXPECT_EQ(CheckStepAt(5, -1, 10, KeyLeft), kStepFull);  // screen 4's columns
}

TEST_F(FieldScreenTest, ABlockedArrowDrawsNothingAndEveryOtherKeyRedrawsTheHero) {
    DrawFieldScreen();
    PutCell(5, 9, 28);
    long long writes = HeadlessWriteCount();
    MoveHero(KeyUp);
    EXPECT_EQ(HeadlessWriteCount(), writes);
    EXPECT_EQ(hero.fieldY, 10);

    for (int key : {224, 0, KeyEnter, KeySpace, int{'h'}, int{'x'}}) {
        DrawGlyphAt("ab", 28, 10);  // something else where the hero stands
        MoveHero(key);
        EXPECT_EQ(ScreenText(10, 28, 30), "●") << key;
        EXPECT_EQ(hero.fieldX, 28);
        EXPECT_EQ(hero.fieldY, 10);
    }
    // A move erases the old cells and draws the hero at the new ones.
    MoveHero(KeyRight);
    EXPECT_EQ(ScreenText(10, 28, 32), "  ●");
}

TEST_F(FieldScreenTest, TheFieldShowsTheScreenItsEnemiesAndTheHero) {
    PutCell(5, 0, 0, 'A');
    PutCell(5, 19, 58, 'Z');
    PutCell(4, 0, 59, 'L');  // neighbours are not shown
    PutCell(6, 0, 0, 'R');
    roamingEnemies[0] = RoamingEnemy{1, 2, 10, 3};
    roamingEnemies[1] = RoamingEnemy{4, 5, 40, 15};
    roamingCount = 2;
    queenSpot = ScreenSpot{5, 5, 5};
    DrawFieldScreen();
    EXPECT_EQ(ScreenLine(0), "A");
    EXPECT_EQ(ScreenText(19, 58, 60), "Z ");
    EXPECT_EQ(ScreenText(3, 10, 12), "歩");
    EXPECT_EQ(ScreenText(15, 40, 42), "城");
    EXPECT_EQ(ScreenText(10, 28, 30), "●");
    EXPECT_EQ(ScreenText(4, 4, 6), "  ");  // standing figures appear only on entering
}

TEST_F(FieldScreenTest, AZeroByteInTheLayoutShowsAsABlankWallAndTheRowGoesOn) {
    PutCell(5, 2, 5, '\0');
    PutCell(5, 2, 6, 'W');
    SetCursor(0, 2);
    WriteText("%s", std::string(60, 'x').c_str());
    DrawFieldScreen();
    EXPECT_EQ(ScreenText(2, 0, 8), "      W ");
    EXPECT_EQ(CheckStepAt(5, 6, 3, KeyUp), kStepBlocked);
}

TEST_F(FieldScreenTest, TheSidewaysScrollMovesOneColumnPerFrame) {
    for (int row = 0; row < 20; ++row) {
        PutCell(5, row, 0, 'a');
        PutCell(5, row, 30, 'b');
        PutCell(6, row, 0, 'c');
        PutCell(6, row, 29, 'd');
    }
    hero.screenNo = 6;  // frames are drawn for the new screen
    SetCursor(0, 0);
    DrawScrollFrameH(-59);  // first frame moving right: old columns 1 to 59, new column 0
    EXPECT_EQ(ScreenText(0, 0, 60), std::string(29, ' ') + "b" + std::string(29, ' ') + "c");
    EXPECT_EQ(ScreenText(19, 29, 30), "b");
    SetCursor(0, 0);
    DrawScrollFrameH(-30);  // halfway: old columns 30 to 59, new columns 0 to 29
    EXPECT_EQ(ScreenText(7, 0, 60), "b" + std::string(29, ' ') + "c" + std::string(28, ' ') + "d");
    SetCursor(0, 0);
    DrawScrollFrameH(0);
    EXPECT_EQ(ScreenText(19, 0, 60), "c" + std::string(28, ' ') + "d" + std::string(30, ' '));
    // Moving left into screen 5: the first frame shows its column 59 and screen 6's 0 to 58.
    hero.screenNo = 5;
    SetCursor(0, 0);
    DrawScrollFrameH(59);
    EXPECT_EQ(ScreenText(0, 0, 3), " c ");
}

TEST_F(FieldScreenTest, ACharacterCutByTheEdgeOfAScrollFrameShowsAsABlank) {
    const std::string tree = "\x96\xd8";   // 木: its second byte alone is a half-width katakana
    const std::string water = "\x90\x85";  // 水: its second byte is itself a first byte
    for (int column = 0; column < 60; column += 2) {
        for (int i = 0; i < 2; ++i) {
            PutCell(5, 0, column + i, tree[i]);
            PutCell(5, 1, column + i, water[i]);
            PutCell(6, 0, column + i, tree[i]);
            PutCell(6, 1, column + i, water[i]);
        }
    }
    std::string trees;
    std::string waters;
    for (int i = 0; i < 29; ++i) {
        trees += "木";
        waters += "水";
    }
    hero.screenNo = 6;
    SetCursor(0, 0);
    DrawScrollFrameH(-59);  // old columns 1 to 59 (the first cut), new column 0 (blank)
    EXPECT_EQ(ScreenText(0, 0, 60), " " + trees + " ");
    EXPECT_EQ(ScreenText(1, 0, 60), " " + waters + " ");
    SetCursor(0, 0);
    DrawScrollFrameH(-31);  // old columns 31 to 59, new columns 0 to 30 (the last cut)
    EXPECT_EQ(ScreenText(0, 0, 60), " " + trees + " ");
    EXPECT_EQ(ScreenText(1, 0, 60), " " + waters + " ");
    SetCursor(0, 0);
    DrawScrollFrameH(-30);  // nothing cut
    EXPECT_EQ(ScreenText(0, 0, 60), trees + "木");
}

TEST_F(FieldScreenTest, TheUpAndDownScrollMovesOneRowPerFrameAndClearsTheRowBelow) {
    for (int column = 0; column < 60; ++column) {
        PutCell(2, 19, column, 'u');
        PutCell(5, 0, column, 'f');
        PutCell(5, 19, column, 'l');
    }
    SetCursor(0, 20);
    WriteText("leftover");
    hero.screenNo = 5;  // moving down from screen 2
    SetCursor(0, 0);
    DrawScrollFrameV(-19);  // the old screen's row 19 on top, the new row 0 at the bottom
    EXPECT_EQ(ScreenLine(0), "");
    EXPECT_EQ(ScreenLine(18), std::string(60, 'u'));
    EXPECT_EQ(ScreenLine(19), std::string(60, 'f'));
    EXPECT_EQ(ScreenLine(20), "");
    SetCursor(0, 0);
    DrawScrollFrameV(-10);
    EXPECT_EQ(ScreenLine(9), std::string(60, 'u'));
    EXPECT_EQ(ScreenLine(10), std::string(60, 'f'));
    SetCursor(0, 0);
    DrawScrollFrameV(0);
    EXPECT_EQ(ScreenLine(0), std::string(60, 'f'));
    EXPECT_EQ(ScreenLine(19), std::string(60, 'l'));
}

TEST_F(FieldScreenTest, AScreenChangeEndsOnTheNewScreenWithItsEnemiesAndTheHero) {
    for (int row = 0; row < 20; ++row) PutCell(6, row, 20, '|');
    WritePlacements(tree, 6, "2\n2 3 40 2\n3 1 10 17\n");
    hero.fieldX = 57;
    long long before = HeadlessMilliseconds();
    MoveHero(KeyRight);
    EXPECT_EQ(HeadlessMilliseconds(), before);  // no pause between the frames
    EXPECT_EQ(ScreenText(10, 0, 21), "●" + std::string(18, ' ') + "|");
    EXPECT_EQ(ScreenText(2, 40, 42), "騎");
    EXPECT_EQ(ScreenText(17, 10, 12), "僧");
    EXPECT_EQ(ScreenText(5, 56, 60), "    ");
    EXPECT_EQ(roamingCount, 2);
}

// Every frame of a screen change is shown as a frame of its own: 60 sideways
// (the first one column into the new screen, the last the new screen whole),
// 20 up or down, each one column or row on from the one before.
TEST_F(FieldScreenTest, AScreenChangeShowsEachFrameOfTheScrollOnce) {
    const std::string oldRow = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz01234567";
    const std::string newRow = "!$%&()*+,-./:;<=>?@[]^_{|}~0123456789abcdefghijklmnopqrstuvw";
    for (int column = 0; column < 60; ++column) {
        PutCell(5, 0, column, oldRow[column]);
        PutCell(6, 0, column, newRow[column]);
    }
    std::vector<std::string> frames;
    HeadlessSetFrameWatcher([&] { frames.push_back(ScreenText(0, 0, 60)); });
    hero.fieldX = 57;
    MoveHero(KeyRight);
    ASSERT_EQ(frames.size(), 60u);
    for (int k = 0; k < 60; ++k) {
        EXPECT_EQ(frames[k], oldRow.substr(k + 1) + newRow.substr(0, k + 1)) << "frame " << k;
    }

    // Down from screen 6 into screen 9: column 5 read top to bottom.
    std::string oldColumn, newColumn;
    for (int row = 0; row < 20; ++row) {
        oldColumn += static_cast<char>('a' + row);
        newColumn += static_cast<char>('A' + row);
        PutCell(6, row, 5, oldColumn.back());
        PutCell(9, row, 5, newColumn.back());
    }
    frames.clear();
    HeadlessSetFrameWatcher([&] {
        std::string column;
        for (int row = 0; row < 20; ++row) column += ScreenText(row, 5, 6);
        frames.push_back(column);
    });
    hero.fieldX = 20;
    hero.fieldY = 19;
    MoveHero(KeyDown);
    ASSERT_EQ(frames.size(), 20u);
    for (int k = 0; k < 20; ++k) {
        EXPECT_EQ(frames[k], oldColumn.substr(k + 1) + newColumn.substr(0, k + 1)) << "frame " << k;
    }
}

TEST_F(FieldScreenTest, EnteringTheQueensScreenShowsHerInBrightWhiteAndOpensTheGate) {
    queenSpot = ScreenSpot{6, 31, 4};
    kingSpot = ScreenSpot{6, 11, 4};  // on the Queen's screen only the Queen is shown
    gateSpot = ScreenSpot{6, 5, 1};
    for (int column = 0; column < 60; ++column) {
        PutCell(6, 0, column, '=');
        PutCell(6, 1, column, '=');
    }
    hero.fieldX = 57;
    MoveHero(KeyRight);
    EXPECT_EQ(ScreenText(3, 30, 32), "妃");
    EXPECT_EQ(ScreenAttribute(30, 3), 15u);
    EXPECT_EQ(ScreenAttribute(31, 3), 15u);
    EXPECT_EQ(ScreenText(3, 10, 12), "  ");
    EXPECT_EQ(textAttribute, 7);
    // The grid is open at columns 4 to 13 of rows 0 and 1; the console still shows the wall.
    EXPECT_EQ(GridRow(6, 0), std::string(4, '=') + std::string(10, ' ') + std::string(46, '='));
    EXPECT_EQ(GridRow(6, 1), GridRow(6, 0));
    EXPECT_EQ(ScreenLine(0), std::string(60, '='));
    // The walk test sees the opening at once: up through the gate into screen 3.
    hero.fieldX = 6;
    hero.fieldY = 2;
    MoveHero(KeyUp);
    MoveHero(KeyUp);
    MoveHero(KeyUp);
    EXPECT_EQ(hero.screenNo, 3);
    EXPECT_EQ(hero.fieldY, 19);
}

TEST_F(FieldScreenTest, EnteringTheKingsScreenShowsTheKing) {
    kingSpot = ScreenSpot{4, 1, 1};
    gateSpot = ScreenSpot{9, 51, 1};
    PutCell(9, 1, 59);
    hero.fieldX = 0;
    MoveHero(KeyLeft);
    EXPECT_EQ(ScreenText(0, 0, 2), "王");
    EXPECT_EQ(ScreenAttribute(0, 0), 15u);
    EXPECT_EQ(GridRow(9, 1), std::string(60, ' '));
}

TEST_F(FieldScreenTest, ReenteringAScreenBringsItsEnemiesBack) {
    WritePlacements(tree, 6, "2\n1 1 40 2\n1 2 40 12\n");
    hero.fieldX = 57;
    MoveHero(KeyRight);
    RemoveRoamingEnemy(0);
    RemoveRoamingEnemy(0);
    EXPECT_EQ(roamingCount, 0);
    EXPECT_EQ(ScreenText(12, 40, 42), "  ");
    MoveHero(KeyLeft);
    EXPECT_EQ(hero.screenNo, 5);
    EXPECT_EQ(roamingCount, 0);
    hero.fieldX = 57;
    MoveHero(KeyRight);
    EXPECT_EQ(roamingCount, 2);
    EXPECT_EQ(ScreenText(2, 40, 42), "歩");
    EXPECT_EQ(ScreenText(12, 40, 42), "歩");
}

TEST_F(FieldScreenTest, AMissingPlacementFileAtAScreenChangeStopsTheGame) {
    tree.Remove("map_info/map1/8.txt");
    hero.fieldY = 19;
    try {
        MoveHero(KeyDown);
        FAIL() << "the game went on";
    } catch (const HeadlessStop& stop) {
        EXPECT_EQ(stop.reason, HeadlessStop::kExited);
        EXPECT_EQ(stop.status, -1);
    }
    EXPECT_EQ(hero.screenNo, 8);
    EXPECT_GE(HeadlessMilliseconds(), 29000);
}

TEST_F(FieldScreenTest, StartUpDrawsTheStartScreenAndTheLoopWalksTheHero) {
    CopyShippedData(tree);
    WriteBlankMapSet(tree, "9 1 1 9 1 1 9 2 1 2");
    tree.Write("map_form/map1/2.txt", std::string(59, '#') + "\n");
    WritePlacements(tree, 2, "1 4 3 50 5");
    StartGame();
    EXPECT_EQ(hero.screenNo, 2);
    EXPECT_EQ(ScreenLine(0), std::string(59, '#'));
    EXPECT_EQ(ScreenText(5, 50, 52), "城");
    EXPECT_EQ(ScreenText(hero.fieldY, hero.fieldX, hero.fieldX + 2), "●");
    EXPECT_EQ(HeadlessHint(), kTextHintField);
    int x = hero.fieldX;
    HeadlessPushArrow(KeyRight);
    // The pass reads the prefix code (the hero is redrawn in place), then the
    // Rook's pause before its move reads the arrow's scan code.
    MainLoopPass();
    EXPECT_EQ(hero.fieldX, x + 2);
}

}  // namespace
