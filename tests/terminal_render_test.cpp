#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/memory_console.h"
#include "platform/sjis_utf8.h"
#include "platform/terminal_render.h"

namespace {

// A small terminal that understands what the renderer sends: cursor
// placement, clearing, bold, and UTF-8 text whose characters are one or two
// columns wide, with the usual rule that writing over half of a wide
// character blanks its other half. Autowrap is off.
struct FakeTerminal {
    int columns;
    int rows;
    bool ambiguousWide;
    std::vector<std::string> text;  // per cell: its character, "" for the right half of a wide one
    std::vector<bool> bold;
    int x = 0;
    int y = 0;
    bool boldNow = false;

    FakeTerminal(int c, int r, bool wide) : columns(c), rows(r), ambiguousWide(wide) { Clear(); }

    void Clear() {
        text.assign(static_cast<std::size_t>(columns * rows), " ");
        bold.assign(text.size(), false);
    }
    std::string& Text(int cx, int cy) { return text[static_cast<std::size_t>(cy * columns + cx)]; }

    int Width(const std::string& glyph) {
        unsigned char first = static_cast<unsigned char>(glyph[0]);
        if (first < 0x80) return 1;
        if (glyph.size() == 3 && first >= 0xE3 && first <= 0xE9) return 2;           // kana, kanji
        if (glyph.size() == 3 && first == 0xEF && static_cast<unsigned char>(glyph[1]) < 0xBD) return 2;  // full-width forms
        if (glyph == "\xef\xbd\xb1") return 1;                                          // half-width ｱ
        return ambiguousWide ? 2 : 1;
    }

    void Blank(int cx) {
        Text(cx, y) = " ";
        bold[static_cast<std::size_t>(y * columns + cx)] = boldNow;
    }

    void Put(const std::string& glyph) {
        int width = Width(glyph);
        if (x + width > columns) return;
        if (Text(x, y).empty() && x > 0) Blank(x - 1);
        int last = x + width - 1;
        if (last + 1 < columns && Text(last + 1, y).empty()) Blank(last + 1);
        Text(x, y) = glyph;
        bold[static_cast<std::size_t>(y * columns + x)] = boldNow;
        if (width == 2) Text(x + 1, y) = "";
        x = std::min(x + width, columns - 1);
    }

    void Feed(const std::string& out) {
        for (std::size_t i = 0; i < out.size();) {
            unsigned char byte = static_cast<unsigned char>(out[i]);
            if (byte == 0x1b) {
                ASSERT_EQ(out[i + 1], '[');
                std::size_t end = i + 2;
                while (!(out[end] >= 0x40 && out[end] <= 0x7E)) ++end;
                std::string parameters = out.substr(i + 2, end - i - 2);
                char final = out[end];
                if (final == 'H') {
                    int row = 1, column = 1;
                    std::sscanf(parameters.c_str(), "%d;%d", &row, &column);
                    y = row - 1;
                    x = column - 1;
                } else if (final == 'J') {
                    Clear();
                } else if (final == 'm') {
                    boldNow = parameters == "0;1";
                }
                i = end + 1;
                continue;
            }
            std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            Put(out.substr(i, length));
            i += length;
        }
    }

    // A row as the player sees it: the right halves of wide characters add nothing.
    std::string Row(int row) {
        std::string line;
        for (int cx = 0; cx < columns; ++cx) line += Text(cx, row);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        return line;
    }
};

struct RenderFixture : ::testing::Test {
    MemoryConsole console;
    TerminalView view;
    void SetUp() override { ResetMemoryConsole(console); }

    void Draw(int x, int y, const std::string& utf8, unsigned attribute = kNormalAttribute) {
        PlaceMemoryCursor(console, x, y);
        console.attribute = attribute;
        std::string bytes = Utf8ToSjis(utf8);
        WriteMemoryConsole(console, bytes.data(), bytes.size());
    }
    std::string Render() {
        std::string out;
        RenderConsole(view, console, out);
        return out;
    }
};

}  // namespace

TEST_F(RenderFixture, FirstRenderClearsThenOnlyChangesAreSent) {
    ResetTerminalView(view, 80, 30, false);
    EXPECT_EQ(Render(), "\x1b[0m\x1b[H\x1b[2J");
    EXPECT_EQ(Render(), "");

    Draw(5, 3, "AB");
    EXPECT_EQ(Render(), "\x1b[4;6HAB");
    EXPECT_EQ(Render(), "");

    // One cell changed among unchanged ones; the cursor is already there for
    // the next one on the same row.
    Draw(5, 3, "AC");
    Draw(7, 3, "D");
    EXPECT_EQ(Render(), "\x1b[4;7HCD");

    // The same bytes written again change nothing.
    Draw(5, 3, "ACD");
    EXPECT_EQ(Render(), "");
}

TEST_F(RenderFixture, AttributeIsSentOnlyWhenItChanges) {
    ResetTerminalView(view, 80, 30, false);
    Render();
    Draw(0, 0, "ab", 15);
    Draw(2, 0, "c", 7);
    Draw(0, 1, "d", 15);
    Draw(1, 1, "e", 15);
    EXPECT_EQ(Render(), "\x1b[0;1mab\x1b[0mc\x1b[2;1H\x1b[0;1mde");
    // Only the attribute of a cell changed: it is drawn again.
    Draw(2, 0, "c", 15);
    EXPECT_EQ(Render(), "\x1b[1;3Hc");
}

TEST_F(RenderFixture, NonAsciiIsFollowedByAnAbsolutePosition) {
    ResetTerminalView(view, 80, 30, false);
    Render();
    Draw(0, 0, "あx");
    EXPECT_EQ(Render(), "\xe3\x81\x82\x1b[1;3Hx");
}

TEST_F(RenderFixture, NarrowAmbiguousCharactersArePaddedWithABlank) {
    ResetTerminalView(view, 80, 30, false);
    Render();
    Draw(10, 2, "●");
    EXPECT_EQ(Render(), "\x1b[3;12H \x1b[3;11H\xe2\x97\x8f\x1b[1;1H");

    ResetTerminalView(view, 80, 30, true);
    Render();
    EXPECT_EQ(Render(), "");
    Draw(20, 2, "■");
    EXPECT_EQ(Render(), "\x1b[3;21H\xe2\x96\xa0\x1b[1;1H");
}

// The field's figures and the battle screen's frames stay in their columns
// on a terminal that draws ● ■ ○ ※ one column wide, on one that draws them
// two wide, and when the renderer was told narrow but the terminal is wide.
TEST_F(RenderFixture, ColumnsStayAlignedWithWideAndAmbiguousCharacters) {
    struct Setup {
        bool viewWide;
        bool terminalWide;
    };
    for (Setup setup : {Setup{false, false}, Setup{true, true}, Setup{false, true}}) {
        SCOPED_TRACE(std::to_string(setup.viewWide) + std::to_string(setup.terminalWide));
        ResetMemoryConsole(console);
        ResetTerminalView(view, 80, 30, setup.viewWide);
        FakeTerminal terminal(80, 30, setup.terminalWide);

        Draw(0, 0, "##  ●  ##");
        Draw(0, 1, "┏━━┓ABC");
        Draw(0, 2, "※○ｱ漢字|");
        Draw(76, 3, "■x■");  // ■ at 76-77, x at 78, then the last ■ wraps to row 4
        terminal.Feed(Render());
        EXPECT_EQ(terminal.Text(4, 0), "●");
        EXPECT_EQ(terminal.Text(8, 0), "#");
        EXPECT_EQ(terminal.Text(6, 1), "┓");
        EXPECT_EQ(terminal.Text(10, 1), "C");
        EXPECT_EQ(terminal.Text(0, 2), "※");
        EXPECT_EQ(terminal.Text(2, 2), "○");
        EXPECT_EQ(terminal.Text(4, 2), "ｱ");
        EXPECT_EQ(terminal.Text(5, 2), "漢");
        EXPECT_EQ(terminal.Text(9, 2), "|");
        EXPECT_EQ(terminal.Text(76, 3), "■");
        EXPECT_EQ(terminal.Text(78, 3), "x");
        EXPECT_EQ(terminal.Text(0, 4), "■");

        // The hero steps right by two columns, leaving blanks behind; an
        // ASCII cell overwrites half of a frame character.
        Draw(4, 0, "  ●");
        Draw(3, 1, "X");
        terminal.Feed(Render());
        EXPECT_EQ(terminal.Text(4, 0), " ");
        EXPECT_EQ(terminal.Text(5, 0), " ");
        EXPECT_EQ(terminal.Text(6, 0), "●");
        EXPECT_EQ(terminal.Text(8, 0), "#");
        EXPECT_EQ(terminal.Text(2, 1), " ");
        EXPECT_EQ(terminal.Text(3, 1), "X");
        EXPECT_EQ(terminal.Text(4, 1), "━");
        EXPECT_EQ(terminal.Text(6, 1), "┓");
        EXPECT_EQ(terminal.Text(10, 1), "C");

        // A wide character moved by one column.
        Draw(5, 2, " 漢");
        terminal.Feed(Render());
        EXPECT_EQ(terminal.Text(4, 2), "ｱ");
        EXPECT_EQ(terminal.Text(5, 2), " ");
        EXPECT_EQ(terminal.Text(6, 2), "漢");
        EXPECT_EQ(terminal.Text(8, 2), " ");
        EXPECT_EQ(terminal.Text(9, 2), "|");
        EXPECT_EQ(Render(), "");
    }
}

TEST_F(RenderFixture, BrightCellsShowBold) {
    ResetTerminalView(view, 80, 30, false);
    FakeTerminal terminal(80, 30, false);
    Draw(1, 1, "A", 15);
    Draw(2, 1, "B", 7);
    terminal.Feed(Render());
    EXPECT_TRUE(terminal.bold[1 * 80 + 1]);
    EXPECT_FALSE(terminal.bold[1 * 80 + 2]);
}

TEST_F(RenderFixture, CursorNeverLeftOnTheBottomRightCell) {
    ResetTerminalView(view, 80, 30, false);
    Render();
    Draw(78, 29, "yz");
    std::string out = Render();
    EXPECT_EQ(out, "\x1b[30;79Hyz\x1b[1;1H");
    EXPECT_EQ(view.cursorX, 0);
    EXPECT_EQ(view.cursorY, 0);
}

TEST_F(RenderFixture, SmallTerminalShowsANoticeUntilItIsLargeEnough) {
    ResetTerminalView(view, 80, 30, false);
    Draw(0, 0, "field");
    Render();

    ResizeTerminalView(view, 79, 30);
    std::string notice = Render();
    EXPECT_NE(notice.find("at least 80 x 21"), std::string::npos);
    EXPECT_NE(notice.find("This one is 79 x 30"), std::string::npos);
    EXPECT_EQ(notice.find("field"), std::string::npos);
    Draw(0, 5, "drawn meanwhile");
    EXPECT_EQ(Render(), "");

    ResizeTerminalView(view, 80, 20);
    EXPECT_NE(Render().find("This one is 80 x 20"), std::string::npos);

    // A tiny terminal: the notice is cut to fit.
    ResizeTerminalView(view, 10, 1);
    FakeTerminal tiny(10, 1, false);
    tiny.Feed(Render());
    EXPECT_EQ(tiny.Row(0), "The game");

    // Large enough again: everything is drawn anew.
    ResizeTerminalView(view, 80, 21);
    FakeTerminal terminal(80, 21, false);
    terminal.Feed(Render());
    EXPECT_EQ(terminal.Row(0), "field");
    EXPECT_EQ(terminal.Row(5), "drawn meanwhile");
}

TEST_F(RenderFixture, ResizeRepaintsEverythingAndOnlyVisibleRowsAreDrawn) {
    ResetTerminalView(view, 80, 30, false);
    Draw(0, 0, "top");
    Draw(0, 25, "low");
    Render();
    ResizeTerminalView(view, 120, 22);
    std::string out = Render();
    EXPECT_EQ(out.rfind("\x1b[0m\x1b[H\x1b[2J", 0), 0u);
    EXPECT_NE(out.find("top"), std::string::npos);
    EXPECT_EQ(out.find("low"), std::string::npos);  // row 25 is below the terminal
    ResizeTerminalView(view, 120, 40);
    EXPECT_NE(Render().find("low"), std::string::npos);
}

TEST_F(RenderFixture, BytesWithoutACharacterShowSafely) {
    ResetTerminalView(view, 80, 30, false);
    Render();
    const char bytes[] = {'\t', '\x7f', '\x80', '\xfd', '\x85', '\x40'};  // 0x85 0x40 has no character
    WriteMemoryConsole(console, bytes, sizeof bytes);
    FakeTerminal terminal(80, 30, false);
    std::string out = Render();
    EXPECT_EQ(out.find('\t'), std::string::npos);
    EXPECT_EQ(out.find('\x7f'), std::string::npos);
    terminal.Feed(out);
    EXPECT_EQ(terminal.Row(0), "  ???");
}
