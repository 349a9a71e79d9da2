// The figures' chase, the encounter wipes, and encounters fought from the main
// loop on the headless console.
#include <gtest/gtest.h>

#include "battle/battle_state.h"
#include "console/console.h"
#include "console/message_log.h"
#include "field/field_screen.h"
#include "field/roaming_enemies.h"
#include "field/world_map.h"
#include "game/game.h"
#include "game/game_state.h"
#include "tests/field_test_support.h"

namespace {

class ChaseTest : public BlankFieldTest {
protected:
    // One step of a Pawn from (x, y); returns the step's result.
    int Step(int32_t& x, int32_t& y) { return StepRoamingEnemy(1, x, y, 1); }
};

TEST_F(ChaseTest, AFigureOnTheHerosCellNeverMoves) {
    int32_t x = 28, y = 10;
    EXPECT_EQ(Step(x, y), kEnemyMoved);
    EXPECT_EQ(x, 28);
    EXPECT_EQ(y, 10);
    EXPECT_EQ(HeadlessMilliseconds(), 0);  // not even a pause
}

TEST_F(ChaseTest, FarOnTheRowAFigureMovesTwoColumnsAfterItsPause) {
    int32_t x = 40, y = 10;
    EXPECT_EQ(Step(x, y), kEnemyMoved);
    EXPECT_EQ(x, 38);
    EXPECT_EQ(y, 10);
    EXPECT_EQ(HeadlessMilliseconds(), 130);
    EXPECT_EQ(ScreenText(10, 38, 40), "歩");
    EXPECT_EQ(ScreenText(10, 40, 42), "  ");
}

TEST_F(ChaseTest, BlockedSidewaysOnTheHerosRowAFigureStays) {
    PutCell(5, 10, 39);
    int32_t x = 40, y = 10;
    EXPECT_EQ(Step(x, y), kEnemyMoved);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(HeadlessMilliseconds(), 130);
}

TEST_F(ChaseTest, AVerticalMoveFollowsOnlyWhenTheRowsAreAtLeastHalfTheColumns) {
    int32_t x = 34, y = 13;  // dx 6, dy 3: h = 3
    Step(x, y);
    EXPECT_EQ(x, 32);
    EXPECT_EQ(y, 12);
    EXPECT_EQ(HeadlessMilliseconds(), 260);
    x = 34, y = 12;  // dx 6, dy 2
    Step(x, y);
    EXPECT_EQ(x, 32);
    EXPECT_EQ(y, 12);
    EXPECT_EQ(HeadlessMilliseconds(), 260 + 130);
}

TEST_F(ChaseTest, ABlockedMoveIsReplacedByThePerpendicularOneWithoutAPause) {
    PutCell(5, 13, 33);  // left of the figure
    int32_t x = 34, y = 13;
    Step(x, y);  // up instead of left, then up again
    EXPECT_EQ(x, 34);
    EXPECT_EQ(y, 11);
    EXPECT_EQ(HeadlessMilliseconds(), 260);
}

TEST_F(ChaseTest, ALeftMoveLooksOnlyOneColumnAheadAndARightMoveJustPastTheFigure) {
    PutCell(5, 10, 38);  // two columns left: not tested
    int32_t x = 40, y = 10;
    Step(x, y);
    EXPECT_EQ(x, 38);
    PutCell(5, 10, 20);
    x = 16;
    Step(x, y);  // column 18, just past the figure, is open
    EXPECT_EQ(x, 18);
    Step(x, y);  // column 20 is not
    EXPECT_EQ(x, 18);
}

TEST_F(ChaseTest, TheFigureAtTheOriginIsErasedButNeverMoves) {
    int32_t x = 0, y = 0;
    SetCursor(0, 0);
    WriteText("%s", KindGlyph(1));
    Step(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(ScreenText(0, 0, 2), "  ");
    EXPECT_EQ(ScreenText(1, 0, 2), "  ");  // nothing drawn on the way
}

TEST_F(ChaseTest, AFigureNeverLeavesItsScreen) {
    // The hero on another row: the figure does not reach him, so the sideways
    // move is blocked and the vertical one takes its place.
    hero.fieldX = 0;
    hero.fieldY = 4;
    int32_t x = 1, y = 10;  // the left neighbour is open, but the figure stays
    Step(x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 9);
    hero.fieldX = 58;
    x = 57;  // two columns right would cover columns 59 and 60
    Step(x, y);
    EXPECT_EQ(x, 57);
    EXPECT_EQ(y, 8);
}

TEST_F(ChaseTest, WhenTheHeroLeavesTheScreenDuringThePauseTheStepEnds) {
    hero.fieldX = 57;
    roamingCount = 1;
    roamingEnemies[0] = RoamingEnemy{1, 1, 40, 10};
    PutCell(6, 0, 0, 'W');  // the new screen's top-left cells
    PutCell(6, 0, 1, 'W');
    HeadlessPushArrow(KeyRight);
    RoamingEnemy& entry = roamingEnemies[0];
    EXPECT_EQ(StepRoamingEnemy(entry.kind, entry.x, entry.y, entry.groupSize), kEnemyMoved);
    EXPECT_EQ(hero.screenNo, 6);
    EXPECT_EQ(roamingCount, 0);
    EXPECT_EQ(entry.x, 0);
    EXPECT_EQ(ScreenText(0, 0, 2), "WW");  // the old step did not erase the new screen
}

TEST(TouchesHeroTest, OnTheRowWithinOneColumn) {
    hero.fieldX = 10;
    hero.fieldY = 4;
    EXPECT_TRUE(TouchesHero(9, 4));
    EXPECT_TRUE(TouchesHero(10, 4));
    EXPECT_TRUE(TouchesHero(11, 4));
    EXPECT_FALSE(TouchesHero(8, 4));
    EXPECT_FALSE(TouchesHero(12, 4));
    EXPECT_FALSE(TouchesHero(10, 5));
}

class WipeTest : public ::testing::Test {
protected:
    void SetUp() override {
        HeadlessReset();
        for (int row = 0; row < 20; ++row) {
            SetCursor(0, row);
            WriteText("%s", std::string(80, 'x').c_str());
        }
    }
    // The run stops at the first pause (30 ms) after frame 0 was drawn.
    template <typename Wipe>
    void FirstFrame(Wipe wipe) {
        HeadlessSetTimeLimit(29);
        EXPECT_THROW(wipe(), HeadlessStop);
    }
};

TEST_F(WipeTest, TheWipeInFillsTheFieldWithBlocksIn600Milliseconds) {
    EncounterWipeIn();
    EXPECT_EQ(HeadlessMilliseconds(), 600);
    std::string blocks;
    for (int i = 0; i < 30; ++i) blocks += "■";
    for (int row = 0; row < 20; ++row) EXPECT_EQ(ScreenText(row, 0, 60), blocks) << row;
    EXPECT_EQ(ScreenText(0, 60, 62), "xx");
}

TEST_F(WipeTest, TheWipeInsFirstFrameHasOneBlockFromEachSide) {
    FirstFrame(EncounterWipeIn);
    EXPECT_EQ(ScreenText(0, 0, 4), "■xx");
    EXPECT_EQ(ScreenText(19, 56, 60), "xx■");
    EXPECT_EQ(ScreenText(1, 0, 2), "xx");
}

TEST_F(WipeTest, TheWipeOutEmptiesTheFieldAndItsRefusedPlacementLandsAfterTheLastPair) {
    FirstFrame(EncounterWipeOut);
    EXPECT_EQ(ScreenText(0, 0, 64), std::string(62, ' ') + "xx");
    EXPECT_EQ(ScreenText(19, 0, 62), std::string(60, ' ') + "xx");
    EXPECT_EQ(CursorColumn(), 4);  // the 31st pair went to columns 2 and 3
    EXPECT_EQ(CursorRow(), 19);
    HeadlessReset();
    EncounterWipeOut();
    EXPECT_EQ(HeadlessMilliseconds(), 600);
}

// Whole encounters from the main loop, on a map set the test writes and the
// shipped records; a flee is made certain by a Pawn that cannot chase.
class EncounterTest : public ::testing::Test {
protected:
    TempTree tree;
    void SetUp() override {
        ResetGameState();
        CopyShippedData(tree);
        WriteBlankMapSet(tree, "9 1 1 9 1 1 9 2 1 5");
        tree.WriteSjis("Enemy_Info/Pawn_Status_Info.txt", "ポーン 1 歩 0 1 12 6 3 2 2 0 0\n");
        HeadlessReset(tree.root);
        // In battle: down to flee and confirm; every wait ends on the down arrow.
        HeadlessSetKeySource([] {
            if (battleState.enemiesLeft == 0) return -1;
            return battleState.commandCursor == 3 ? KeyEnter : KeyDown;
        });
    }
};

TEST_F(EncounterTest, AFiguresContactOpensABattleAndTheFieldComesBackWithoutIt) {
    WritePlacements(tree, 5, "1  1 3 32 10\n");  // the hero starts at 28, 10
    StartGame();
    EXPECT_EQ(ScreenText(10, 32, 34), "歩");
    MainLoopPass();  // 32 -> 30
    EXPECT_EQ(roamingCount, 1);
    MainLoopPass();  // 30 -> 28: contact, battle, flight
    EXPECT_EQ(roamingCount, 0);
    EXPECT_EQ(ScreenText(10, 28, 30), "●");
    EXPECT_EQ(ScreenLine(10).find("歩"), std::string::npos);
    EXPECT_EQ(ScreenLine(13), "");  // the battle screen was cleared away
    EXPECT_EQ(battleState.turnCount, 0);
}

TEST_F(EncounterTest, AtTheScreensEdgeAFigureBesideTheHeroReachesHimWithoutLeavingTheScreen) {
    // The move would carry the figure past the edge; it stops there, on the
    // hero, and the battle starts.
    struct Case {
        int heroX, figureX;
    } cases[] = {{58, 57}, {0, 1}};
    for (const Case& c : cases) {
        tree.WriteSjis("Hero_Info/Hero_Status_Info.txt", "勇者 40 10 1 5 5 0 30 0 1 0 0 0 0 1 5 1 3 1 3 " +
                                                             std::to_string(c.heroX) + " 10\n");
        WritePlacements(tree, 5, "1  1 1 " + std::to_string(c.figureX) + " 10\n");
        ResetGameState();
        StartGame();
        std::string atWipe;  // the figure's row when the encounter's wipe begins
        HeadlessSetSleepWatcher([&atWipe](unsigned milliseconds) {
            if (milliseconds == 30 && atWipe.empty()) atWipe = ScreenText(10, 0, 62);
        });
        MainLoopPass();
        EXPECT_EQ(roamingCount, 0) << c.figureX;
        EXPECT_EQ(atWipe, Blanks(c.heroX) + "歩" + Blanks(60 - c.heroX)) << c.figureX;
    }
    // A figure a row below, beside the edge: the sideways move is blocked
    // (stopping at the edge would not reach the hero), and the move up that
    // replaces it reaches him diagonally: the battle starts in this step.
    for (const Case& c : cases) {
        tree.WriteSjis("Hero_Info/Hero_Status_Info.txt", "勇者 40 10 1 5 5 0 30 0 1 0 0 0 0 1 5 1 3 1 3 " +
                                                             std::to_string(c.heroX) + " 10\n");
        WritePlacements(tree, 5, "1  1 1 " + std::to_string(c.figureX) + " 11\n");
        ResetGameState();
        StartGame();
        MainLoopPass();
        EXPECT_EQ(roamingCount, 0) << "no battle from " << c.figureX << ", 11";
    }
}

TEST_F(EncounterTest, ALostBattleAlsoRemovesTheFigureAndTheGameGoesOn) {
    // A Pawn that always catches the hero and hits far harder than his HP.
    tree.WriteSjis("Enemy_Info/Pawn_Status_Info.txt", "ポーン 1 歩 0 1 12 5000 3 2 2 200 0\n");
    tree.WriteSjis("Hero_Info/Hero_Status_Info.txt", "勇者 40 10 1 5 5 0 30 0 1 0 0 0 0 1 5 1 3 1 3 28 10\n");
    WritePlacements(tree, 5, "1  1 1 30 10\n");
    StartGame();
    MainLoopPass();
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(roamingCount, 0);
    EXPECT_EQ(ScreenText(10, 28, 30), "●");
    EXPECT_EQ(ScreenLine(16), "");  // the battle screen was cleared away
    EXPECT_EQ(hero.exp, 0u);
}

TEST_F(EncounterTest, TwoContactsInOnePassFightBothAndTheEntryThatMovedDownWaits) {
    // A reaches the hero at once; B (left of him) moves down to index 0 when A
    // leaves and is not stepped in this pass; C, below him, reaches him next.
    WritePlacements(tree, 5, "3  1 1 30 10  2 1 20 10  1 1 28 11\n");
    StartGame();
    MainLoopPass();
    EXPECT_EQ(roamingCount, 1);
    EXPECT_EQ(roamingEnemies[0].kind, 2);
    EXPECT_EQ(roamingEnemies[0].x, 20);
    MainLoopPass();
    EXPECT_EQ(roamingEnemies[0].x, 22);
}

TEST_F(EncounterTest, EveryPassReadsAKeyOrLetsTimePassWhenNoFigureHasAStep) {
    // A figure on the hero's own cell has nothing to do: the pass must wait
    // for a key, not poll for one (a pass that does neither spins a core).
    WritePlacements(tree, 5, "1  1 1 28 10\n");
    StartGame();
    HeadlessSetKeySource(nullptr);
    HeadlessPushKey(KeySpace, 400);
    HeadlessPushKey(KeySpace, 900);
    int passes = 0;
    try {
        for (;; ++passes) {
            const std::size_t reads = HeadlessHintsAtKeyReads().size();
            const long long ms = HeadlessMilliseconds();
            MainLoopPass();
            ASSERT_TRUE(HeadlessHintsAtKeyReads().size() > reads || HeadlessMilliseconds() > ms) << "pass " << passes;
        }
    } catch (const HeadlessStop& stop) {
        EXPECT_EQ(stop.reason, HeadlessStop::kOutOfKeys);
    }
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(HeadlessMilliseconds(), 900);
    EXPECT_EQ(roamingCount, 1);
}

TEST_F(EncounterTest, WithoutFiguresEveryKeyIsHandledAtOnce) {
    StartGame();
    HeadlessSetKeySource(nullptr);
    HeadlessPushArrow(KeyLeft);
    HeadlessPushArrow(KeyLeft);
    for (int pass = 0; pass < 4; ++pass) MainLoopPass();
    EXPECT_EQ(hero.fieldX, 24);
    EXPECT_EQ(HeadlessMilliseconds(), 0);
}

}  // namespace
