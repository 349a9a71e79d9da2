#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "console/texts.h"
#include "platform/memory_console.h"
#include "platform/screen_text.h"
#include "platform/sjis_utf8.h"
#include "platform/terminal_render.h"

namespace {

// A small terminal that understands what the renderer sends: cursor moves
// (absolute, relative, carriage return, line feed, backspace), clearing and
// erasing, deleting and inserting cells, scroll regions with line feed and
// reverse index, the colours and bold the game uses, and UTF-8 text whose
// characters are one or two columns wide, with the usual rule that writing
// over half of a wide character blanks its other half. Autowrap is off. Its
// own colours are light (neither foreground nor background set); erased and
// inserted cells take the background in use, as terminals do. Like mlterm,
// it may delete or insert a whole wide character when the cells named start
// or end inside one.
struct FakeTerminal {
    enum Foreground { kOwnForeground, kLightGrey, kBrightWhite };
    int columns;
    int rows;
    bool ambiguousWide;
    bool wholeWideShift = false;    // mlterm's way with a deletion or insertion inside a wide character
    std::vector<std::string> text;  // per cell: its character, "" for the right half of a wide one
    std::vector<bool> bold;
    std::vector<Foreground> foreground;
    std::vector<bool> black;        // the background is black (else the terminal's own, light)
    int x = 0;
    int y = 0;
    bool boldNow = false;
    Foreground foregroundNow = kOwnForeground;
    bool blackNow = false;
    bool inUpdate = false;  // inside a synchronized update
    int top = 0;  // the scroll region
    int bottom;

    FakeTerminal(int c, int r, bool wide) : columns(c), rows(r), ambiguousWide(wide), bottom(r - 1) { Clear(); }

    void Clear() {
        text.assign(static_cast<std::size_t>(columns * rows), " ");
        bold.assign(text.size(), false);
        foreground.assign(text.size(), kOwnForeground);
        black.assign(text.size(), blackNow);
    }
    // A cell that an erase, a scroll or an insertion blanked.
    void Erased(std::size_t at) {
        text[at] = " ";
        bold[at] = false;
        foreground[at] = kOwnForeground;
        black[at] = blackNow;
    }
    void Pen(std::size_t at) {
        bold[at] = boldNow;
        foreground[at] = foregroundNow;
        black[at] = blackNow;
    }
    std::size_t At(int cx, int cy) const { return static_cast<std::size_t>(cy * columns + cx); }
    std::string& Text(int cx, int cy) { return text[At(cx, cy)]; }

    int Width(const std::string& glyph) {
        unsigned char first = static_cast<unsigned char>(glyph[0]);
        if (first < 0x80) return 1;
        if (glyph.size() == 3 && first >= 0xE3 && first <= 0xE9) return 2;           // kana, kanji
        if (glyph.size() == 3 && first == 0xEF && static_cast<unsigned char>(glyph[1]) < 0xBD) return 2;  // full-width forms
        if (glyph.size() == 3 && first == 0xEF && static_cast<unsigned char>(glyph[1]) == 0xBF) return 2; // ￣ ￥
        if (glyph.size() == 3 && first == 0xEF) return 1;                               // half-width katakana
        return ambiguousWide ? 2 : 1;
    }

    void Blank(int cx) {
        Text(cx, y) = " ";
        Pen(At(cx, y));
    }

    void Put(const std::string& glyph) {
        int width = Width(glyph);
        if (x + width > columns) return;
        if (Text(x, y).empty() && x > 0) Blank(x - 1);
        int last = x + width - 1;
        if (last + 1 < columns && Text(last + 1, y).empty()) Blank(last + 1);
        Text(x, y) = glyph;
        Pen(At(x, y));
        if (width == 2) {
            Text(x + 1, y) = "";
            Pen(At(x + 1, y));
        }
        x = std::min(x + width, columns - 1);
    }

    // Half a wide character left alone by an erase or a move shows as a blank.
    void Tidy(int cy) {
        for (int cx = 0; cx < columns; ++cx) {
            if (Text(cx, cy).empty() && (cx == 0 || Width(Text(cx - 1, cy)) != 2 || Text(cx - 1, cy).empty())) {
                Text(cx, cy) = " ";
            }
            if (!Text(cx, cy).empty() && Width(Text(cx, cy)) == 2 && (cx + 1 == columns || !Text(cx + 1, cy).empty())) {
                Text(cx, cy) = " ";
            }
        }
    }

    void Erase(int from, int to) {
        for (int cx = from; cx < to && cx < columns; ++cx) Erased(At(cx, y));
        Tidy(y);
    }

    void MoveCells(int count, bool remove) {
        int start = x;
        if (wholeWideShift && start > 0 && Text(start, y).empty()) {
            --start;
            if (remove) ++count;
        }
        if (wholeWideShift && remove && start + count < columns && Text(start + count, y).empty()) ++count;
        FakeTerminal line(*this);
        for (int cx = start; cx < columns; ++cx) {
            int from = remove ? cx + count : cx - count;
            std::size_t at = At(cx, y);
            if (from >= start && from < columns) {
                std::size_t source = line.At(from, y);
                text[at] = line.text[source];
                bold[at] = line.bold[source];
                foreground[at] = line.foreground[source];
                black[at] = line.black[source];
            } else {
                Erased(at);
            }
        }
        Tidy(y);
    }

    // Moves the region's rows up (a line feed on its last row) or down.
    void ScrollRegion(bool up) {
        for (int step = 0; step < bottom - top; ++step) {
            int to = up ? top + step : bottom - step;
            int from = up ? to + 1 : to - 1;
            for (int cx = 0; cx < columns; ++cx) {
                Text(cx, to) = Text(cx, from);
                bold[At(cx, to)] = bold[At(cx, from)];
                foreground[At(cx, to)] = foreground[At(cx, from)];
                black[At(cx, to)] = black[At(cx, from)];
            }
        }
        int fresh = up ? bottom : top;
        for (int cx = 0; cx < columns; ++cx) Erased(At(cx, fresh));
    }

    // Select Graphic Rendition, for the codes the game's looks use.
    void Rendition(const std::string& parameters) {
        std::size_t begin = 0;
        do {
            std::size_t end = parameters.find(';', begin);
            int code = std::atoi(parameters.substr(begin, end - begin).c_str());
            begin = end == std::string::npos ? end : end + 1;
            if (code == 0) {
                boldNow = false;
                foregroundNow = kOwnForeground;
                blackNow = false;
            } else if (code == 1 || code == 22) {
                boldNow = code == 1;
            } else if (code == 37 || code == 97) {
                foregroundNow = code == 37 ? kLightGrey : kBrightWhite;
            } else if (code == 40) {
                blackNow = true;
            } else {
                ADD_FAILURE() << "attribute " << parameters;
            }
        } while (begin != std::string::npos);
    }

    void Control(char final, const std::string& parameters) {
        int first = 0, second = 0;
        int count = std::sscanf(parameters.c_str(), "%d;%d", &first, &second);
        int n = count >= 1 && first > 0 ? first : 1;
        switch (final) {
        case 'H':
            y = std::min(rows - 1, (count >= 1 && first > 0 ? first : 1) - 1);
            x = std::min(columns - 1, (count >= 2 && second > 0 ? second : 1) - 1);
            break;
        case 'G': x = std::min(columns - 1, n - 1); break;
        case 'd': y = std::min(rows - 1, n - 1); break;
        case 'A': y = std::max(0, y - n); break;
        case 'B': y = std::min(rows - 1, y + n); break;
        case 'C': x = std::min(columns - 1, x + n); break;
        case 'D': x = std::max(0, x - n); break;
        case 'J': Clear(); break;
        case 'K': Erase(x, columns); break;
        case 'X': Erase(x, x + n); break;
        case 'P': MoveCells(n, true); break;
        case '@': MoveCells(n, false); break;
        case 'r':
            top = count >= 1 && first > 0 ? first - 1 : 0;
            bottom = count >= 2 && second > 0 ? second - 1 : rows - 1;
            x = 0;
            y = 0;
            break;
        case 'm': Rendition(parameters); break;
        case 'h':
        case 'l':
            if (parameters != "?2026") ADD_FAILURE() << "mode " << parameters << final;
            else if (inUpdate == (final == 'h')) ADD_FAILURE() << "synchronized update begun twice or ended unbegun";
            inUpdate = final == 'h';
            break;
        default: ADD_FAILURE() << "sequence " << parameters << final;
        }
    }

    void Feed(const std::string& out) {
        for (std::size_t i = 0; i < out.size();) {
            unsigned char byte = static_cast<unsigned char>(out[i]);
            if (byte == 0x1b && out[i + 1] == 'M') {
                if (y == top) ScrollRegion(false);
                else if (y > 0) --y;
                i += 2;
                continue;
            }
            if (byte == 0x1b) {
                ASSERT_EQ(out[i + 1], '[');
                std::size_t end = i + 2;
                while (!(out[end] >= 0x40 && out[end] <= 0x7E)) ++end;
                Control(out[end], out.substr(i + 2, end - i - 2));
                i = end + 1;
                continue;
            }
            if (byte == '\r' || byte == '\b' || byte == '\n') {
                if (byte == '\r') x = 0;
                if (byte == '\b') x = std::max(0, x - 1);
                if (byte == '\n' && y == bottom) ScrollRegion(true);
                else if (byte == '\n' && y < rows - 1) ++y;
                ++i;
                continue;
            }
            ASSERT_GE(byte, 0x20) << "control byte " << static_cast<int>(byte);
            std::size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            Put(out.substr(i, length));
            i += length;
        }
        EXPECT_FALSE(inUpdate) << "a synchronized update left open";
    }

    // A row as the player sees it: the right halves of wide characters add nothing.
    std::string Row(int row) {
        std::string line;
        for (int cx = 0; cx < columns; ++cx) line += Text(cx, row);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        return line;
    }
};

// What the renderer was told about the terminal, and how the terminal draws.
struct WidthSetup {
    const char* name;
    AmbiguousWidth view;
    bool terminalWide;
};
const WidthSetup kSetups[] = {
    {"measured narrow", AmbiguousWidth::kNarrow, false},
    {"measured wide", AmbiguousWidth::kWide, true},
    {"unmeasured, narrow", AmbiguousWidth::kUnmeasured, false},
    {"unmeasured, wide", AmbiguousWidth::kUnmeasured, true},
};

// A terminal that shows the console drawn whole, on a fresh view.
FakeTerminal FullRedraw(const MemoryConsole& console, const WidthSetup& setup) {
    FakeTerminal fresh(80, 30, setup.terminalWide);
    TerminalView view;
    ResetTerminalView(view, 80, 30, setup.view);
    std::string all;
    RenderConsole(view, console, all);
    fresh.Feed(all);
    return fresh;
}

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
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kUnmeasured);
    EXPECT_EQ(Render(), "\x1b[0;37;40m\x1b[H\x1b[2J");
    EXPECT_EQ(Render(), "");

    Draw(5, 3, "AB");
    EXPECT_EQ(Render(), "\x1b[4;6HAB");
    EXPECT_EQ(Render(), "");

    // One cell changed among unchanged ones: a step back from where the
    // cursor was left, and it is already there for the next one.
    Draw(5, 3, "AC");
    Draw(7, 3, "D");
    EXPECT_EQ(Render(), "\bCD");

    // The same bytes written again change nothing.
    Draw(5, 3, "ACD");
    EXPECT_EQ(Render(), "");
}

TEST_F(RenderFixture, AttributeIsSentOnlyWhenItChanges) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kUnmeasured);
    Render();
    Draw(0, 0, "ab", 15);
    Draw(2, 0, "c", 7);
    Draw(0, 1, "d", 15);
    Draw(1, 1, "e", 15);
    EXPECT_EQ(Render(), "\x1b[1;97mab\x1b[22;37mc\n\r\x1b[1;97mde");
    // Only the attribute of a cell changed: it is drawn again, a row up.
    Draw(2, 0, "c", 15);
    EXPECT_EQ(Render(), "\x1b[Ac");
}

TEST_F(RenderFixture, NonAsciiIsFollowedByAnAbsolutePosition) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kUnmeasured);
    Render();
    Draw(0, 0, "あx");
    EXPECT_EQ(Render(), "\xe3\x81\x82\x1b[1;3Hx");
}

TEST_F(RenderFixture, NarrowAmbiguousCharactersArePaddedWithABlank) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kUnmeasured);
    Render();
    Draw(10, 2, "●");
    EXPECT_EQ(Render(), "\x1b[3;12H \b\b\xe2\x97\x8f\x1b[H");

    ResetTerminalView(view, 80, 30, AmbiguousWidth::kWide);
    Render();
    EXPECT_EQ(Render(), "");
    Draw(20, 2, "■");
    EXPECT_EQ(Render(), "\x1b[8C\xe2\x96\xa0");
}

// The field's figures and the battle screen's frames stay in their columns
// on a terminal that draws ● ■ ○ ※ one column wide, on one that draws them
// two wide, and on either when the terminal never said which.
TEST_F(RenderFixture, ColumnsStayAlignedWithWideAndAmbiguousCharacters) {
    for (WidthSetup setup : kSetups) {
        SCOPED_TRACE(setup.name);
        ResetMemoryConsole(console);
        ResetTerminalView(view, 80, 30, setup.view);
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

TEST_F(RenderFixture, BrightCellsShowBrightWhiteAndBold) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kUnmeasured);
    FakeTerminal terminal(80, 30, false);
    Draw(1, 1, "A", 15);
    Draw(2, 1, "B", 7);
    terminal.Feed(Render());
    EXPECT_TRUE(terminal.bold[1 * 80 + 1]);
    EXPECT_FALSE(terminal.bold[1 * 80 + 2]);
}

TEST_F(RenderFixture, CursorNeverLeftOnTheBottomRightCell) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kUnmeasured);
    Render();
    Draw(78, 29, "yz");
    std::string out = Render();
    EXPECT_EQ(out, "\x1b[30;79Hyz\x1b[H");
    EXPECT_EQ(view.cursorX, 0);
    EXPECT_EQ(view.cursorY, 0);
}

TEST_F(RenderFixture, SmallTerminalShowsANoticeUntilItIsLargeEnough) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kUnmeasured);
    Draw(0, 0, "field");
    Render();

    // Japanese first, English below it.
    ResizeTerminalView(view, 79, 30);
    std::string notice = Render();
    FakeTerminal narrow(79, 30, false);
    narrow.Feed(notice);
    EXPECT_EQ(narrow.Row(0), "画面が小さすぎます。80 x 21 以上に広げてください。");
    EXPECT_EQ(narrow.Row(1), "（いまは 79 x 30 です）");
    EXPECT_EQ(narrow.Row(2), "The game needs a terminal of at least 80 x 21.");
    EXPECT_EQ(narrow.Row(3), "This one is 79 x 30: please make it larger.");
    EXPECT_EQ(notice.find("field"), std::string::npos);
    Draw(0, 5, "drawn meanwhile");
    EXPECT_EQ(Render(), "");

    ResizeTerminalView(view, 80, 20);
    EXPECT_NE(Render().find("This one is 80 x 20"), std::string::npos);

    // A tiny terminal: the notice is cut to fit, never within a character,
    // and the bottom-right cell stays free.
    ResizeTerminalView(view, 10, 1);
    FakeTerminal tiny(10, 1, false);
    tiny.Feed(Render());
    EXPECT_EQ(tiny.Row(0), "画面が小");

    // Large enough again: everything is drawn anew.
    ResizeTerminalView(view, 80, 21);
    FakeTerminal terminal(80, 21, false);
    terminal.Feed(Render());
    EXPECT_EQ(terminal.Row(0), "field");
    EXPECT_EQ(terminal.Row(5), "drawn meanwhile");
}

TEST_F(RenderFixture, ResizeRepaintsEverythingAndOnlyVisibleRowsAreDrawn) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kUnmeasured);
    Draw(0, 0, "top");
    Draw(0, 25, "low");
    Render();
    ResizeTerminalView(view, 120, 22);
    std::string out = Render();
    EXPECT_EQ(out.rfind("\x1b[0;37;40m\x1b[H\x1b[2J", 0), 0u);
    EXPECT_NE(out.find("top"), std::string::npos);
    EXPECT_EQ(out.find("low"), std::string::npos);  // row 25 is below the terminal
    ResizeTerminalView(view, 120, 40);
    EXPECT_NE(Render().find("low"), std::string::npos);
}

TEST_F(RenderFixture, BytesWithoutACharacterShowSafely) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kUnmeasured);
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

TEST_F(RenderFixture, MeasuredWidthsNeedNoPositionAfterEachCharacter) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kNarrow);
    Render();
    Draw(0, 0, "あx●yｱz");
    EXPECT_EQ(Render(), "\xe3\x81\x82x\xe2\x97\x8f yｱz");
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kWide);
    Render();
    Draw(0, 1, "●y");
    EXPECT_EQ(Render(), "\n\r\xe2\x97\x8fy");
}

// Blank runs are erased rather than written out, to the row's end or by
// count; what the terminal shows is the same.
TEST_F(RenderFixture, BlankRunsAreErased) {
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kNarrow);
    FakeTerminal terminal(80, 30, false);
    Draw(0, 4, std::string(40, 'a') + "漢字" + std::string(34, 'b'));
    terminal.Feed(Render());
    Draw(2, 4, std::string(30, ' '));
    Draw(60, 4, std::string(20, ' '));
    std::string out = Render();
    EXPECT_NE(out.find("\x1b[30X"), std::string::npos);
    EXPECT_NE(out.find("\x1b[K"), std::string::npos);
    EXPECT_LT(out.size(), 20u);
    terminal.Feed(out);
    EXPECT_EQ(terminal.Row(4), "aa" + std::string(30, ' ') + "aaaaaaaa漢字" + std::string(16, 'b'));
}

// A screen scrolling sideways or up: the terminal moves what it shows, and
// only the cells that came in are written.
TEST_F(RenderFixture, MovedRowsAreShiftedOrScrolledNotRedrawn) {
    for (WidthSetup setup : kSetups) {
        SCOPED_TRACE(setup.name);
        ResetMemoryConsole(console);
        ResetTerminalView(view, 80, 30, setup.view);
        FakeTerminal terminal(80, 30, setup.terminalWide);
        std::string field = "木木  家家田田田  ●   木木木木木木  ■■   ※ abc   木  家家家家  田田田田田  木";
        for (int y = 0; y < 20; ++y) Draw(0, y, field.substr(0, 40 + y));
        terminal.Feed(Render());

        // Every row moves two columns to the left, two new ones come in.
        for (int y = 0; y < 20; ++y) {
            std::string bytes = Utf8ToSjis(field.substr(0, 40 + y));
            bytes = bytes.substr(2) + "xy";
            PlaceMemoryCursor(console, 0, y);
            WriteMemoryConsole(console, bytes.data(), bytes.size());
        }
        std::string sideways = Render();
        EXPECT_NE(sideways.find("\x1b[2P"), std::string::npos);
        EXPECT_LT(sideways.size(), 20u * 30u);
        terminal.Feed(sideways);

        // Rows 0 to 18 move up by one; row 19 is new.
        MemoryConsole before = console;
        for (int y = 0; y < 19; ++y) std::copy(before.cells[y + 1], before.cells[y + 1] + 80, console.cells[y]);
        Draw(0, 19, std::string(79, ' '));
        Draw(0, 19, "new row");
        std::string up = Render();
        EXPECT_NE(up.find("\x1b[1;20r"), std::string::npos);
        EXPECT_LT(up.size(), 40u);
        terminal.Feed(up);

        FakeTerminal fresh = FullRedraw(console, setup);
        for (int y = 0; y < 30; ++y) EXPECT_EQ(terminal.Row(y), fresh.Row(y)) << "row " << y;
    }
}

// Every cell on black; a character light grey, or bright white and bold
// where the game drew it bright.
void ExpectGameLooks(const FakeTerminal& terminal, const MemoryConsole& console, int frame) {
    for (int y = 0; y < terminal.rows; ++y) {
        for (int x = 0; x < terminal.columns; ++x) {
            std::size_t at = terminal.At(x, y);
            ASSERT_TRUE(terminal.black[at]) << "frame " << frame << " (" << x << ", " << y << ") not on black";
            if (terminal.text[at] == " " || terminal.text[at].empty()) continue;
            bool bright = (console.cells[y][x].attribute & 8) != 0;
            ASSERT_EQ(terminal.foreground[at], bright ? FakeTerminal::kBrightWhite : FakeTerminal::kLightGrey)
                << "frame " << frame << " (" << x << ", " << y << ")";
            ASSERT_EQ(terminal.bold[at], bright) << "frame " << frame << " (" << x << ", " << y << ")";
        }
    }
}

// Whatever is drawn, frame after frame, the terminal ends up showing what a
// full redraw of the console shows, in the game's looks on black: random
// texts of every width and look, blank runs, rows moved sideways and blocks
// of rows moved up and down; on a terminal that blanks a wide character cut
// by a deletion, and on one that deletes it whole.
TEST_F(RenderFixture, ChangesOnlyAlwaysShowTheSameAsAFullRedraw) {
    const char* pieces[] = {"a", "Z", " ", "   ", "あ", "漢字", "●", "■", "※", "━", "ｱ", "       ", "|", "＿"};
    for (int run = 0; run < 8; ++run) {
        WidthSetup setup = kSetups[run % 4];
        bool wholeWideShift = run >= 4;
        SCOPED_TRACE(std::string(setup.name) + (wholeWideShift ? ", wide characters moved whole" : ""));
        unsigned seed = 1;
        auto next = [&seed](unsigned bound) {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) % bound;
        };
        ResetMemoryConsole(console);
        ResetTerminalView(view, 80, 30, setup.view);
        FakeTerminal terminal(80, 30, setup.terminalWide);
        terminal.wholeWideShift = wholeWideShift;
        for (int frame = 0; frame < 400; ++frame) {
            int kind = static_cast<int>(next(10));
            if (kind == 0) {
                // A block of rows moves up or down by one to three rows.
                int shift = static_cast<int>(next(3)) + 1;
                bool upward = next(2) == 0;
                int first = static_cast<int>(next(10));
                int last = first + 5 + static_cast<int>(next(10));
                MemoryConsole before = console;
                for (int y = first; y <= last; ++y) {
                    int from = upward ? y + shift : y - shift;
                    if (from >= first && from <= last) std::copy(before.cells[from], before.cells[from] + 80, console.cells[y]);
                }
            } else if (kind == 1) {
                // A row's cells move sideways, as bytes written again.
                int y = static_cast<int>(next(30));
                int shift = static_cast<int>(next(9)) + 1;
                std::string bytes;
                for (int x = 0; x < 80; ++x) bytes += static_cast<char>(console.cells[y][x].byte);
                bytes = next(2) == 0 ? bytes.substr(static_cast<std::size_t>(shift), 60) : std::string(static_cast<std::size_t>(shift), ' ') + bytes.substr(0, 60);
                PlaceMemoryCursor(console, 0, y);
                WriteMemoryConsole(console, bytes.data(), bytes.size());
            } else {
                for (int n = static_cast<int>(next(8)); n >= 0; --n) {
                    std::string text;
                    for (int p = static_cast<int>(next(6)); p >= 0; --p) text += pieces[next(sizeof pieces / sizeof *pieces)];
                    Draw(static_cast<int>(next(78)), static_cast<int>(next(30)), text, next(3) == 0 ? 15 : 7);
                }
            }
            terminal.Feed(Render());
            FakeTerminal fresh = FullRedraw(console, setup);
            for (int y = 0; y < 30; ++y) ASSERT_EQ(terminal.Row(y), fresh.Row(y)) << "frame " << frame << ", row " << y;
            ExpectGameLooks(terminal, console, frame);
            if (frame == 0) ExpectGameLooks(fresh, console, frame);
        }
    }
}

// The key help goes on the row below the game when the terminal has one, in
// the normal look, and never changes a cell of the game's own.
TEST_F(RenderFixture, TheKeyHelpShowsBelowTheGameOnlyWhereThereIsRoom) {
    Draw(0, 20, "field", 15);
    Draw(3, 21, "x");
    const std::string hint = Utf8ToSjis("▼ Enter");
    MemoryConsole display;
    ComposeDisplay(console, hint, kHintRow, display);  // 21 rows: no room
    EXPECT_EQ(std::memcmp(&display.cells, &console.cells, sizeof console.cells), 0);
    ComposeDisplay(console, hint, kHintRow + 1, display);
    EXPECT_EQ(std::memcmp(&display.cells[0], &console.cells[0], sizeof console.cells[0] * kHintRow), 0);
    ResetTerminalView(view, 80, kHintRow + 1, AmbiguousWidth::kWide);
    FakeTerminal terminal(80, kHintRow + 1, true);
    std::string out;
    RenderConsole(view, display, out);
    terminal.Feed(out);
    EXPECT_EQ(terminal.Row(kHintRow), "▼ Enter");
    EXPECT_FALSE(terminal.bold[kHintRow * 80]);
    EXPECT_EQ(terminal.Row(20), "field");
}

// The key help changing from any wait's to any other's: a terminal that
// deletes or inserts a wide character whole (mlterm) still shows the new
// line exactly, however it draws the arrows.
TEST_F(RenderFixture, KeyHelpChangesNeverCutAWideCharacter) {
    const char* hints[] = {kTextHintField,  kTextHintCommands, kTextHintTargets, kTextHintAbilities,
                           kTextHintItems,  kTextHintConfirm,  kTextHintTyping,  kTextHintLevelUp,
                           kTextHintChoice, kTextHintConfirmNew};
    for (WidthSetup setup : kSetups) {
        SCOPED_TRACE(setup.name);
        for (const char* before : hints) {
            for (const char* after : hints) {
                MemoryConsole display;
                ResetTerminalView(view, 80, kHintRow + 1, setup.view);
                FakeTerminal terminal(80, kHintRow + 1, setup.terminalWide);
                terminal.wholeWideShift = true;
                std::string out;
                ComposeDisplay(console, before, kHintRow + 1, display);
                RenderConsole(view, display, out);
                ComposeDisplay(console, after, kHintRow + 1, display);
                RenderConsole(view, display, out);
                terminal.Feed(out);
                FakeTerminal fresh(80, kHintRow + 1, setup.terminalWide);
                TerminalView freshView;
                ResetTerminalView(freshView, 80, kHintRow + 1, setup.view);
                std::string all;
                RenderConsole(freshView, display, all);
                fresh.Feed(all);
                ASSERT_EQ(terminal.Row(kHintRow), fresh.Row(kHintRow)) << "after " << SjisToUtf8(before);
            }
        }
    }
}

// The page's text of the screen, while its terminal loads: the characters as
// the terminal draws them, the look marked where text changes it (each row
// starting normal), two-column characters marked, a narrow-drawn ● followed
// by its blank.
TEST_F(RenderFixture, ScreenTextIsWhatTheTerminalDraws) {
    Draw(0, 0, "ab");
    Draw(3, 0, "X  ", 15);
    Draw(5, 0, "木 ●");
    Draw(11, 0, "ｱ");
    Draw(79, 0, "Z", 15);
    Draw(0, 1, "c");
    const std::string blanks67(67, ' ');
    const std::string blanks79(79, ' ');
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kNarrow);
    EXPECT_EQ(ScreenText(view, console, 2), "ab \x01X \x02\x03木 ●  ｱ" + blanks67 + "\x01Z\nc" + blanks79 + "\n");
    ResetTerminalView(view, 80, 30, AmbiguousWidth::kWide);
    EXPECT_EQ(ScreenText(view, console, 1), "ab \x01X \x02\x03木 \x03● ｱ" + blanks67 + "\x01Z\n");
}
