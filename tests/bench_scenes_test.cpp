// The pty benchmark's scenes on the headless backend: the marks by which it
// times the real program must show on the game's own frames, at the frames
// they stand for, and the data trees it writes must be ones the game plays.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/game.h"
#include "game/game_state.h"
#include "platform/headless.h"
#include "platform/terminal_render.h"
#include "tools/bench/scenes.h"
#include "tools/bench/scratch_data.h"

namespace {

TEST(BenchScenesTest, TheFirstFrameShowsTheHeroWhereHeStandsAndHeWalksRightAndBack) {
    ScratchData scratch;
    std::string error;
    ASSERT_TRUE(MakeScratchData(scratch, CHESSRPG_DATA_DIR, error)) << error;
    ASSERT_TRUE(ClearPlacements(scratch, error)) << error;
    FieldStart start;
    ASSERT_TRUE(HeadlessFieldStart(scratch.data, 80, 30, start, error)) << error;
    EXPECT_EQ(ScreenText(start.frame, start.heroY, start.heroX, start.heroX + 1), "●");
    EXPECT_EQ(ScreenText(start.frame, start.heroY, start.heroX + 1, start.heroX + 2), " ");
    EXPECT_EQ(start.steppedX, start.heroX + 2);
    EXPECT_EQ(ScreenRowText(start.frame, 0).substr(0, 3), "木");  // the village's first screen
}

// The benchmark waits for the terminal to show what the console holds; the
// game's renderer, however it is tuned, must get it there cell for cell.
TEST(BenchScenesTest, TheRendererShowsTheFirstFieldFrameAsTheConsoleHoldsIt) {
    HeadlessReset(CHESSRPG_DATA_DIR);
    ResetGameState();
    StartGame();
    TerminalView view;
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kNarrow);
    std::string bytes;
    RenderConsole(view, HeadlessScreen(), bytes);
    ScreenModel shown;
    ResetScreenModel(shown, 80, 30);
    FeedScreenModel(shown, bytes);
    ScreenModel expected = ConsoleAsShown(HeadlessScreen(), 80, 30);
    int row = 0;
    int column = 0;
    EXPECT_FALSE(FirstDifference(shown, expected, row, column))
        << "row " << row << ", column " << column << ":\n  shown    \"" << ScreenRowText(shown, row)
        << "\"\n  expected \"" << ScreenRowText(expected, row) << "\"";
    ResetGameState();
}

TEST(BenchScenesTest, AGameThatCannotStartIsReportedAsSuch) {
    ScratchData scratch;
    std::string error;
    ASSERT_TRUE(MakeScratchData(scratch, CHESSRPG_DATA_DIR, error)) << error;
    std::filesystem::remove(scratch.data + "/Hero_Info/Hero_Status_Info.txt");
    FieldStart start;
    EXPECT_FALSE(HeadlessFieldStart(scratch.data, 80, 30, start, error));
    EXPECT_NE(error.find("did not start"), std::string::npos) << error;
}

TEST(BenchScenesTest, TheEncounterShowsEveryMarkAtTheFrameItStandsFor) {
    ScratchData scratch;
    std::string error;
    ASSERT_TRUE(MakeScratchData(scratch, CHESSRPG_DATA_DIR, error)) << error;
    ASSERT_TRUE(WriteSmallWorld(scratch, error)) << error;
    PacingMarks marks;
    ASSERT_TRUE(HeadlessPacing(scratch.data, 80, 30, marks, error)) << error;
    EXPECT_GT(marks.wipeStarts, 0);
    // Two wipes of 20 frames, each shown for 30 ms, end where the first
    // command box shows; four boxes of 25 frames of 1 ms slide in before the
    // first label.
    EXPECT_EQ(marks.battleStarts - marks.wipeStarts, 2 * 20 * 30);
    EXPECT_EQ(marks.boxesIn - marks.battleStarts, 4 * 25 * 1);
    EXPECT_LE(marks.boxesIn, marks.battleReady);
    EXPECT_LT(marks.battleReady, marks.fleeTypingStarts);
    // Typed a byte at a time with 50 ms after each: from the first character
    // (its second byte) to the last byte.
    EXPECT_EQ(FleeAnnouncementCharacters(), 19);
    EXPECT_EQ(marks.fleeTypingEnds - marks.fleeTypingStarts, (FleeAnnouncementBytes() - 2) * 50);
}

TEST(BenchScenesTest, AScratchTreeGoesWithItsOwner) {
    std::string root;
    {
        ScratchData scratch;
        std::string error;
        ASSERT_TRUE(MakeScratchData(scratch, CHESSRPG_DATA_DIR, error)) << error;
        root = scratch.root;
        EXPECT_TRUE(std::filesystem::is_directory(scratch.data + "/map_form/map1"));
    }
    EXPECT_FALSE(std::filesystem::exists(root));
    ScratchData missing;
    std::string error;
    EXPECT_FALSE(MakeScratchData(missing, "/nonexistent/chessrpg-data", error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
