#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory_console.h"
#include "platform/win32_present.h"

namespace {

// A call as text, so that a failing test shows the whole list readably.
std::string Describe(const Win32Call& call) {
    switch (call.kind) {
        case Win32Call::kClear:
            return "clear";
        case Win32Call::kPlace:
            return "place " + std::to_string(call.x) + "," + std::to_string(call.y);
        case Win32Call::kAttribute:
            return "attribute " + std::to_string(call.attribute);
        case Win32Call::kText:
            return "text [" + call.text + "]";
    }
    return "?";
}

std::vector<std::string> Render(Win32View& view, const MemoryConsole& display) {
    std::vector<Win32Call> calls;
    RenderWin32(view, display, calls);
    std::vector<std::string> described;
    for (const Win32Call& call : calls) described.push_back(Describe(call));
    return described;
}

void Put(MemoryConsole& console, int x, int y, unsigned attribute, const std::string& bytes) {
    PlaceMemoryCursor(console, x, y);
    console.attribute = attribute;
    WriteMemoryConsole(console, bytes.data(), bytes.size());
}

const std::string kCircle = "\x81\x9c";  // ●, two cells

class Win32PresentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetMemoryConsole(console);
        ResetWin32View(view, 80, 30);
    }
    MemoryConsole console;
    Win32View view;
};

TEST_F(Win32PresentTest, WritesChangedCharactersOnlyWithOnePlacementPerRun) {
    Put(console, 3, 2, 7, "AB");
    Put(console, 10, 2, 15, "C");   // five unchanged cells after AB: a run of its own
    Put(console, 20, 4, 7, "DE");
    Put(console, 26, 4, 7, "F");    // four unchanged cells after DE: written again
    std::vector<std::string> expected = {"clear",        "place 3,2", "attribute 7",  "text [AB]",
                                         "place 10,2",   "attribute 15", "text [C]",   "place 20,4",
                                         "attribute 7",  "text [DE    F]"};
    EXPECT_EQ(Render(view, console), expected);
    EXPECT_TRUE(Render(view, console).empty());  // nothing changed, nothing sent

    // A double-byte character goes out whole; writing over its right half
    // blanks its left one, in whatever attribute is current.
    Put(console, 0, 0, 15, kCircle);
    EXPECT_EQ(Render(view, console), (std::vector<std::string>{"place 0,0", "attribute 15", "text [" + kCircle + "]"}));
    Put(console, 1, 0, 15, "x");
    EXPECT_EQ(Render(view, console), (std::vector<std::string>{"place 0,0", "text [ x]"}));
}

TEST_F(Win32PresentTest, ABlankBeforeTheGamesFirstAttributeSetsTheNormalOne) {
    // Until then the console writes in its own attribute, whose background may not be black.
    view.repaint = false;
    view.shown[0][0] = ConsoleCell{'A', 7, kSingleCell};
    EXPECT_EQ(Render(view, console), (std::vector<std::string>{"place 0,0", "attribute 7", "text [ ]"}));
}

TEST_F(Win32PresentTest, HalfACharacterOnItsOwnGoesOutAsABlank) {
    Put(console, 0, 5, 7, "ab");
    Render(view, console);
    console.cells[5][0] = ConsoleCell{0x96, 7, kTrailCell};  // the second byte of a split character
    console.cells[5][79] = ConsoleCell{0x96, 7, kLeadCell};  // a first byte with nothing after it
    EXPECT_EQ(Render(view, console), (std::vector<std::string>{"place 0,5", "text [ ]"}));
    // The cell at column 79 was blank already and still looks blank.
    EXPECT_TRUE(Render(view, console).empty());
}

TEST_F(Win32PresentTest, TheKeyHelpTakesTheRowBelowTheGameWhenTheWindowHasIt) {
    MemoryConsole display;
    // The game's clearing writes over the help's row; the help shows all the same.
    Put(console, 0, 21, 7, std::string(78, 'z'));
    ComposeWin32Display(console, "Enter", 30, display);
    std::string row;
    for (int x = 0; x < 8; ++x) row += static_cast<char>(display.cells[21][x].byte);
    EXPECT_EQ(row, "Enter   ");
    EXPECT_EQ(console.cells[21][0].byte, 'z');  // the game's own cells are left as they were

    // A window of 21 rows has no row below the game.
    ComposeWin32Display(console, "Enter", 21, display);
    EXPECT_EQ(display.cells[21][0].byte, 'z');
    ComposeWin32Display(console, "Enter", 22, display);
    EXPECT_EQ(display.cells[21][0].byte, 'E');

    // Never the last column: a write there moves the console's cursor to the next row.
    ComposeWin32Display(console, std::string(100, 'h'), 30, display);
    EXPECT_EQ(display.cells[21][78].byte, 'h');
    EXPECT_EQ(display.cells[21][79].byte, ' ');
}

TEST_F(Win32PresentTest, ATooSmallWindowShowsTheNoticeOnceThenTheWholeGameAgain) {
    Put(console, 3, 2, 7, "AB");
    Put(console, 0, 27, 7, "Z");
    Render(view, console);

    ResizeWin32View(view, 79, 30);  // a column short
    std::vector<std::string> notice = Render(view, console);
    ASSERT_GE(notice.size(), 4u);
    EXPECT_EQ(notice[0], "clear");
    EXPECT_EQ(notice[1], "place 0,0");
    // Japanese first: the first line starts with 画面 (0x89E6 0x96CA).
    EXPECT_EQ(notice[2].substr(0, 10), "text [\x89\xe6\x96\xca");
    bool sizeSaid = false;
    for (const std::string& call : notice) sizeSaid = sizeSaid || call.find("79 x 30") != std::string::npos;
    EXPECT_TRUE(sizeSaid);
    Put(console, 5, 5, 7, "Q");  // the game draws on behind the notice
    EXPECT_TRUE(Render(view, console).empty());
    ResizeWin32View(view, 79, 30);  // the same size again is no change
    EXPECT_TRUE(Render(view, console).empty());

    // Large enough again: cleared, and every cell of the game drawn again.
    ResizeWin32View(view, 80, 30);
    std::vector<std::string> expected = {"clear",     "place 3,2", "text [AB]", "place 5,5",
                                         "text [Q]",  "place 0,27", "text [Z]"};
    EXPECT_EQ(Render(view, console), expected);

    ResizeWin32View(view, 100, 20);  // a row short
    EXPECT_EQ(Render(view, console).at(0), "clear");
    EXPECT_TRUE(view.noticeShown);
}

TEST_F(Win32PresentTest, RowsBelowTheWindowWaitUntilItGrows) {
    ResetWin32View(view, 80, 25);
    Put(console, 0, 24, 7, "Y");
    Put(console, 0, 27, 7, "Z");
    EXPECT_EQ(Render(view, console), (std::vector<std::string>{"clear", "place 0,24", "attribute 7", "text [Y]"}));
    ResizeWin32View(view, 80, 30);
    EXPECT_EQ(Render(view, console),
              (std::vector<std::string>{"clear", "place 0,24", "text [Y]", "place 0,27", "text [Z]"}));
}

}  // namespace
