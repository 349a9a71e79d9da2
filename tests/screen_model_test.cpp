// The pty benchmark's model of a terminal screen: it must follow every way the
// renderer may place the cursor and erase, count columns as a terminal does,
// and answer a cursor position request, or the benchmark times the wrong frame.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "platform/memory_console.h"
#include "platform/terminal_render.h"
#include "tools/bench/screen_model.h"

namespace {

ScreenModel Screen(const std::string& bytes, int columns = 20, int rows = 5) {
    ScreenModel screen;
    ResetScreenModel(screen, columns, rows);
    FeedScreenModel(screen, bytes);
    return screen;
}

std::string FirstRow(const std::string& bytes) { return ScreenRowText(Screen(bytes), 0); }

TEST(ScreenModelTest, CursorMovesAsTheSequencesSayAndStopsAtTheEdges) {
    struct Case {
        const char* bytes;
        int x;
        int y;
    } cases[] = {
        {"\x1b[3;5H", 4, 2},        {"\x1b[H", 0, 0},           {"\x1b[;7H", 6, 0},
        {"\x1b[4f", 0, 3},          {"\x1b[3;5H\x1b[2A", 4, 0}, {"\x1b[3;5H\x1b[9A", 4, 0},
        {"\x1b[B\x1b[0B", 0, 2},    {"\x1b[3C\x1b[C", 4, 0},    {"\x1b[3;5H\x1b[D", 3, 2},
        {"\x1b[99;99H", 19, 4},     {"\x1b[2;9H\x1b[3G", 2, 1}, {"\x1b[2;9H\x1b[4d", 8, 3},
        {"\x1b[2;9H\r", 0, 1},      {"\x1b[2;9H\n", 8, 2},      {"\x1b[2;9H\b\b", 6, 1},
        {"\x1b[2;3H\t", 8, 1},      {"\x1b[40C\x1b[5B", 19, 4}, {"abc\x1b[2;9H\x1b[1;1H", 0, 0},
    };
    for (const Case& c : cases) {
        ScreenModel screen = Screen(c.bytes);
        EXPECT_EQ(screen.cursorX, c.x) << c.bytes + 1;
        EXPECT_EQ(screen.cursorY, c.y) << c.bytes + 1;
    }
}

TEST(ScreenModelTest, WideCharactersTakeTwoColumnsAndAmbiguousOnesOne) {
    ScreenModel screen = Screen("a歩●＿b");
    EXPECT_EQ(ScreenRowText(screen, 0), "a歩●＿b");
    EXPECT_EQ(ScreenCharacter(screen, 0, 1), U'歩');
    EXPECT_EQ(ScreenCharacter(screen, 0, 2), 0u);  // its right half
    EXPECT_EQ(ScreenCharacter(screen, 0, 3), U'●');
    EXPECT_EQ(ScreenCharacter(screen, 0, 4), U'＿');
    EXPECT_EQ(ScreenCharacter(screen, 0, 6), U'b');
    EXPECT_EQ(screen.cursorX, 7);
    EXPECT_EQ(ScreenText(screen, 0, 1, 3), "歩");
    EXPECT_EQ(ScreenText(screen, 0, 2, 4), "●");  // a right half alone reads as nothing
}

TEST(ScreenModelTest, WritingOverHalfOfAWideCharacterBlanksItsOtherHalf) {
    EXPECT_EQ(FirstRow("歩歩\x1b[1;2Hx"), " x歩");
    EXPECT_EQ(FirstRow("歩歩\x1b[1;3Hx"), "歩x");
    EXPECT_EQ(FirstRow("歩歩\x1b[1;2H騎"), " 騎");
}

TEST(ScreenModelTest, WithoutAutowrapTheLastColumnIsOverwritten) {
    ScreenModel screen = Screen("\x1b[1;19Habcd");
    EXPECT_EQ(ScreenRowText(screen, 0), std::string(18, ' ') + "ad");
    EXPECT_EQ(ScreenRowText(screen, 1), "");
    EXPECT_EQ(FirstRow("\x1b[1;20H歩"), std::string(18, ' ') + "歩");
}

TEST(ScreenModelTest, EraseSequencesBlankTheirCellsAndLeaveTheCursor) {
    const std::string full = "abcdefgh\r\nijklmnop\r\nqrstuvwx";
    struct Case {
        std::string bytes;
        const char* rows[3];
    } cases[] = {
        {full + "\x1b[2;3H\x1b[J", {"abcdefgh", "ij", ""}},
        {full + "\x1b[2;3H\x1b[1J", {"", "   lmnop", "qrstuvwx"}},
        {full + "\x1b[2;3H\x1b[2J", {"", "", ""}},
        {full + "\x1b[2;3H\x1b[K", {"abcdefgh", "ij", "qrstuvwx"}},
        {full + "\x1b[2;3H\x1b[1K", {"abcdefgh", "   lmnop", "qrstuvwx"}},
        {full + "\x1b[2;3H\x1b[2K", {"abcdefgh", "", "qrstuvwx"}},
        {full + "\x1b[2;3H\x1b[3X", {"abcdefgh", "ij   nop", "qrstuvwx"}},
        {full + "\x1b[2;3H\x1b[X", {"abcdefgh", "ij lmnop", "qrstuvwx"}},
        // A wide character cut by the erased range goes whole.
        {"歩騎城\x1b[1;4H\x1b[X", {"歩  城"}},
        {"歩騎城\x1b[1;3H\x1b[1K", {"    城"}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        ScreenModel screen = Screen(cases[i].bytes);
        for (int row = 0; row < 3 && cases[i].rows[row] != nullptr; ++row) {
            EXPECT_EQ(ScreenRowText(screen, row), cases[i].rows[row]) << "case " << i << ", row " << row;
        }
    }
    ScreenModel screen = Screen(full + "\x1b[2;3H\x1b[3X");
    EXPECT_EQ(screen.cursorX, 2);
    EXPECT_EQ(screen.cursorY, 1);
}

TEST(ScreenModelTest, ColoursModesTitlesAndBrokenSequencesChangeNoCell) {
    EXPECT_EQ(FirstRow("\x1b[0;1ma\x1b[0m\x1b[?1049h\x1b[?25l\x1b[?7lb"), "ab");
    EXPECT_EQ(FirstRow("\x1b]0;title\x07" "a\x1b]2;t\x1b\\b"), "ab");
    EXPECT_EQ(FirstRow("\x1b(Ba\x1b" "7b\x1b" "8"), "ab");
    EXPECT_EQ(FirstRow("\x1b[12\x18" "a"), "a");  // CAN ends a sequence cut short
    EXPECT_EQ(FirstRow("a\xe6\xad" "b\xff"), "a\xef\xbf\xbd" "b\xef\xbf\xbd");
}

TEST(ScreenModelTest, BytesFedOneByOneGiveTheSameScreen) {
    const std::string bytes = "\x1b[2;3H歩●x\x1b[1;1H\x1b[0;1m＿\x1b[2;5H\x1b[K\x1b]0;t\x07z";
    ScreenModel whole = Screen(bytes);
    ScreenModel pieces;
    ResetScreenModel(pieces, 20, 5);
    for (char byte : bytes) FeedScreenModel(pieces, &byte, 1);
    EXPECT_TRUE(SameScreenText(whole, pieces));
    EXPECT_EQ(pieces.cursorX, whole.cursorX);
    EXPECT_EQ(ScreenRowText(pieces, 1), "  歩z");
}

// What the renderer sends for a screen scrolling by: cells deleted and
// inserted within a row, and a scroll region moved by line feed and reverse
// index, with the rows outside it left alone.
TEST(ScreenModelTest, CellsDeletedAndInsertedAndRegionsScrolled) {
    ScreenModel row = Screen("ab漢字cd\x1b[1;2H\x1b[2P");
    EXPECT_EQ(ScreenRowText(row, 0), "a 字cd");  // 漢 cut in half: its other half is blanked
    FeedScreenModel(row, "\x1b[1;3H\x1b[3@");
    EXPECT_EQ(ScreenRowText(row, 0), "a    字cd");
    EXPECT_EQ(ScreenCharacter(row, 0, 5), U'字');

    ScreenModel rows = Screen("\x1b[1;1Hr1\x1b[2;1Hr2\x1b[3;1Hr3\x1b[4;1Hr4\x1b[2;3r\x1b[3;1H\n\x1b[r");
    EXPECT_EQ(ScreenRowText(rows, 0), "r1");
    EXPECT_EQ(ScreenRowText(rows, 1), "r3");
    EXPECT_EQ(ScreenRowText(rows, 2), "");
    EXPECT_EQ(ScreenRowText(rows, 3), "r4");
    EXPECT_EQ(rows.cursorY, 0);  // a region set or reset homes the cursor
    FeedScreenModel(rows, "\x1b[1;3r\x1bM\x1b[r");
    EXPECT_EQ(ScreenRowText(rows, 0), "");
    EXPECT_EQ(ScreenRowText(rows, 1), "r1");
    EXPECT_EQ(ScreenRowText(rows, 2), "r3");
    EXPECT_EQ(ScreenRowText(rows, 3), "r4");
}

TEST(ScreenModelTest, ACursorPositionRequestIsAnsweredWhereTheCursorIs) {
    // The game's probe: a terminal that draws ● one column wide reports column 2.
    EXPECT_EQ(Screen("\x1b[1;1H●\x1b[6n").replies, "\x1b[1;2R");
    EXPECT_EQ(Screen("\x1b[4;9H歩\x1b[6n\x1b[5n").replies, "\x1b[4;11R\x1b[0n");
    EXPECT_EQ(Screen("\x1b[?6n\x1b[6c").replies, "");
}

TEST(ScreenModelTest, TheGamesRendererShowsTheConsoleCellForCell) {
    MemoryConsole console;
    ResetMemoryConsole(console);
    PlaceMemoryCursor(console, 3, 2);
    const char text[] = "\x95\xe0 \x81\x9c" "ab\x81\x51";  // 歩 ● ab＿ in Shift-JIS
    WriteMemoryConsole(console, text, sizeof text - 1);
    TerminalView view;
    ResetTerminalView(view, kConsoleColumns, kConsoleRows, AmbiguousWidth::kNarrow);
    std::string bytes;
    RenderConsole(view, console, bytes);
    ScreenModel screen;
    ResetScreenModel(screen, kConsoleColumns, kConsoleRows);
    FeedScreenModel(screen, bytes);
    // ● is padded with a blank on a terminal that draws it narrow.
    EXPECT_EQ(ScreenRowText(screen, 2), "   歩 ● ab＿");
    // A change shows through the diff that follows.
    PlaceMemoryCursor(console, 4, 2);
    WriteMemoryConsole(console, "x", 1);
    bytes.clear();
    RenderConsole(view, console, bytes);
    FeedScreenModel(screen, bytes);
    EXPECT_EQ(ScreenRowText(screen, 2), "    x ● ab＿");
}

}  // namespace
