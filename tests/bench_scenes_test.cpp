// The benchmarks' scenes on the headless backend: the marks by which they
// time the real program must show on the game's own frames, at the frames
// they stand for, the data trees they write must be ones the game plays, and
// the recorded play must hold every call the game made.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/game.h"
#include "game/game_state.h"
#include "platform/headless.h"
#include "platform/terminal_render.h"
#include "tools/bench/recorded_play.h"
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

// The recorded play goes through its five scenes in order, and its calls,
// replayed on a console of their own, leave the screen the game left; shown
// through the terminal present (shifts, scrolls and erases included), every
// frame shows on the terminal as the console holds it.
TEST(BenchScenesTest, TheRecordedPlayReplaysToTheScreenTheGameLeft) {
    RecordedPlay play = RecordPlay(CHESSRPG_DATA_DIR);
    ASSERT_EQ(play.failure, "");
    ASSERT_EQ(play.scenes.size(), 5u);
    for (std::size_t i = 1; i < play.scenes.size(); ++i) EXPECT_LT(play.scenes[i - 1].firstCall, play.scenes[i].firstCall);

    MemoryConsole console;
    ResetMemoryConsole(console);
    TerminalView view;
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kNarrow);
    ScreenModel shown;
    ResetScreenModel(shown, 80, 30);
    std::string bytes;
    int frames = 0;
    auto present = [&] {
        bytes.clear();
        RenderConsole(view, console, bytes);
        FeedScreenModel(shown, bytes);
        ++frames;
        ScreenModel expected = ConsoleAsShown(console, 80, 30);
        int row = 0;
        int column = 0;
        return !FirstDifference(shown, expected, row, column) ||
               (ADD_FAILURE() << "frame " << frames << ", row " << row << ", column " << column << ":\n  shown    \""
                              << ScreenRowText(shown, row) << "\"\n  expected \"" << ScreenRowText(expected, row) << "\"",
                false);
    };
    for (const ConsoleCall& call : play.calls) {
        if (call.kind == ConsoleCall::kPlace) PlaceMemoryCursor(console, call.x, call.y);
        if (call.kind == ConsoleCall::kAttribute) console.attribute = call.attribute;
        if (call.kind == ConsoleCall::kWrite) WriteMemoryConsole(console, call.bytes.data(), call.bytes.size());
        if (call.kind == ConsoleCall::kShow) {
            ASSERT_TRUE(present());
        }
    }
    const MemoryConsole& left = HeadlessScreen();
    for (int y = 0; y < kConsoleRows; ++y) {
        for (int x = 0; x < kConsoleColumns; ++x) {
            ASSERT_EQ(console.cells[y][x].byte, left.cells[y][x].byte) << "(" << x << ", " << y << ")";
            ASSERT_EQ(console.cells[y][x].attribute, left.cells[y][x].attribute) << "(" << x << ", " << y << ")";
        }
    }
    EXPECT_GT(frames, 500);
}

}  // namespace
