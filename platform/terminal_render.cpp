#include "platform/terminal_render.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/size_notice.h"
#include "platform/sjis_utf8.h"
#include "platform/terminal_glyphs.h"

namespace {

std::string Sequence(const char* format, int value) {
    char sequence[32];
    std::snprintf(sequence, sizeof sequence, format, value);
    return sequence;
}

void KeepShorter(std::string& best, std::string candidate) {
    if (candidate.size() < best.size()) best = std::move(candidate);
}

// From the cursor's row to row y, the column kept: line feeds (never past
// the last row, so they cannot scroll), a count up or down, or the row.
std::string RowMove(const TerminalView& view, int y) {
    int rows = y - view.cursorY;
    if (rows == 0) return "";
    std::string best = Sequence("\x1b[%dd", y + 1);
    if (rows > 0 && rows <= 2) KeepShorter(best, std::string(static_cast<std::size_t>(rows), '\n'));
    if (rows > 0) KeepShorter(best, rows == 1 ? "\x1b[B" : Sequence("\x1b[%dB", rows));
    if (rows < 0) KeepShorter(best, rows == -1 ? "\x1b[A" : Sequence("\x1b[%dA", -rows));
    return best;
}

// From the cursor's column to column x on row y: a carriage return,
// backspaces, a count forward, the column, or the skipped cells written again
// when they show plain text in the current look.
std::string ColumnMove(const TerminalView& view, int x, int y) {
    int columns = x - view.cursorX;
    if (columns == 0) return "";
    if (x == 0) return "\r";
    std::string best = Sequence("\x1b[%dG", x + 1);
    if (columns < 0) KeepShorter(best, std::string(static_cast<std::size_t>(-columns), '\b'));
    if (columns > 0) {
        KeepShorter(best, columns == 1 ? "\x1b[C" : Sequence("\x1b[%dC", columns));
        std::string again;
        for (int i = view.cursorX; i < x && again.size() < best.size(); ++i) {
            const ConsoleCell& cell = view.shown[y][i];
            const std::string& text = SingleByteText(cell.byte);
            bool plain = cell.half == kSingleCell && text.size() == 1 &&
                         (text == " " || ((cell.attribute & 8) ? 1 : 0) == view.attribute);
            if (!plain) break;
            again += text;
        }
        if (static_cast<int>(again.size()) == columns) KeepShorter(best, again);
    }
    return best;
}

// The shortest way from the terminal's cursor to (x, y): the absolute
// position, or a row move and a column move from where it is.
void MoveTo(TerminalView& view, int x, int y, std::string& out) {
    if (view.cursorX == x && view.cursorY == y) return;
    std::string best = x == 0 ? (y == 0 ? std::string("\x1b[H") : Sequence("\x1b[%dH", y + 1))
                              : Sequence("\x1b[%d;", y + 1) + Sequence("%dH", x + 1);
    if (view.cursorX >= 0 && view.cursorY >= 0) KeepShorter(best, RowMove(view, y) + ColumnMove(view, x, y));
    out += best;
    view.cursorX = x;
    view.cursorY = y;
}

// The game draws on black, as the Windows console does, so that its two looks
// read alike on a light or a dark terminal: the normal attribute light grey,
// the bright one bright white and bold (bold alone hardly shows where a
// terminal draws it as a heavier weight). Erased, scrolled-in and inserted
// cells take the background in use (every terminal we know erases so).
void UseAttribute(TerminalView& view, unsigned attribute, std::string& out) {
    int look = (attribute & 8) ? 1 : 0;
    if (view.attribute == look) return;
    if (view.attribute < 0) {
        out += look == 0 ? "\x1b[0;37;40m" : "\x1b[0;1;97;40m";
    } else {
        out += look == 0 ? "\x1b[22;37m" : "\x1b[1;97m";
    }
    view.attribute = look;
}

// The cursor moved on by `cells` columns; past the last one it is held at the
// margin, so it is placed again before the next character.
void Advance(TerminalView& view, int cells) {
    view.cursorX += cells;
    if (view.cursorX >= view.columns) view.cursorX = -1;
}

// Clears the whole terminal to black, so that blanks beside and below the
// game's rows look like the game's own. Every render starts here, and from
// then on one of the game's two looks is always in use: blanks, erases,
// scrolls and inserted cells are black whichever it is.
void ClearTerminal(TerminalView& view, std::string& out) {
    out += "\x1b[0;37;40m\x1b[H\x1b[2J";
    view.attribute = 0;
    view.cursorX = 0;
    view.cursorY = 0;
    for (auto& row : view.shown) {
        for (auto& cell : row) cell = ConsoleCell{' ', kNormalAttribute, kSingleCell};
    }
}

void ShowNotice(TerminalView& view, std::string& out) {
    ClearTerminal(view, out);
    std::vector<std::string> lines = SizeNoticeLines(view.columns, view.rows);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        MoveTo(view, 0, static_cast<int>(i), out);
        out += SjisToUtf8(lines[i]);
        view.cursorX = -1;
    }
}

// How many cells the character starting at column x takes (2 for a whole
// double-byte character, else 1).
int CharacterWidth(const ConsoleCell* row, int x) {
    return row[x].half == kLeadCell && x + 1 < kConsoleColumns && row[x + 1].half == kTrailCell ? 2 : 1;
}

bool SameCell(const ConsoleCell& a, const ConsoleCell& b) {
    return a.byte == b.byte && a.attribute == b.attribute && a.half == b.half;
}

void DrawCharacter(TerminalView& view, const ConsoleCell* row, int x, int y, int width, std::string& out) {
    const ConsoleCell& cell = row[x];
    if (width == 1) {
        const std::string& text = cell.half == kSingleCell ? SingleByteText(cell.byte) : SingleByteText(' ');
        MoveTo(view, x, y, out);
        if (text != " ") UseAttribute(view, cell.attribute, out);  // a blank looks the same either way
        out += text;
        if (text.size() == 1 || view.widthsKnown) {
            Advance(view, 1);
        } else {
            view.cursorX = -1;
        }
        return;
    }
    const Glyph& glyph = DoubleByteGlyph(cell.byte, row[x + 1].byte);
    bool drawnNarrow = DrawnNarrow(glyph, view.ambiguousWide);
    if (view.widthsKnown) {
        MoveTo(view, x, y, out);
        UseAttribute(view, cell.attribute, out);
        out += glyph.utf8;
        if (drawnNarrow) out += ' ';
        Advance(view, 2);
        return;
    }
    if (drawnNarrow) {
        // The blank goes in first, so that a terminal that draws the character
        // two columns wide after all simply covers it.
        MoveTo(view, x + 1, y, out);
        out += ' ';
        Advance(view, 1);
    }
    MoveTo(view, x, y, out);
    UseAttribute(view, cell.attribute, out);
    out += glyph.utf8;
    // Widths not measured: never trust where a non-ASCII character left the cursor.
    view.cursorX = -1;
}

bool ShowsBlank(const ConsoleCell& cell) { return cell.half == kSingleCell && SingleByteText(cell.byte) == " "; }

// A run of blanks that starts at a changed cell is erased in one sequence when
// that is shorter than writing its changed cells: to the end of the row, or a
// count of cells. Moves x past the run and returns true when it did.
bool EraseBlanks(TerminalView& view, const ConsoleCell* row, int x, int y, std::string& out, int& next) {
    constexpr int kEraseToEndWorth = 4;    // changed blanks that make "ESC[K" worth it
    constexpr int kEraseCountWorth = 10;   // ... and "ESC[nX" with the move after it
    ConsoleCell* shown = view.shown[y];
    int end = x;
    int changed = 0;
    while (end < kConsoleColumns && ShowsBlank(row[end])) {
        changed += !SameLook(row[end], shown[end]);
        ++end;
    }
    bool toEnd = end == kConsoleColumns;
    if (changed < (toEnd ? kEraseToEndWorth : kEraseCountWorth)) return false;
    MoveTo(view, x, y, out);
    if (toEnd) {
        out += "\x1b[K";
    } else {
        char sequence[32];
        std::snprintf(sequence, sizeof sequence, "\x1b[%dX", end - x);
        out += sequence;
    }
    for (int i = x; i < end; ++i) shown[i] = row[i];
    next = end;
    return true;
}

// A shown cell whose look is not known (half of a character cut by a shift):
// it differs from every console cell, so it is drawn again.
constexpr unsigned char kUnknownHalf = 3;

ConsoleCell BlankCell() { return ConsoleCell{' ', kNormalAttribute, kSingleCell}; }

bool RowsLookAlike(const ConsoleCell* a, const ConsoleCell* b) {
    for (int x = 0; x < kConsoleColumns; ++x) {
        if (!SameLook(a[x], b[x])) return false;
    }
    return true;
}

// About how many bytes drawing `row` over `shown` sends: the text of the
// changed characters, a move before each run of them, and changed blank runs
// at the price of erasing them.
int DrawCost(const TerminalView& view, const ConsoleCell* row, const ConsoleCell* shown) {
    constexpr int kMoveCost = 4;
    int cost = 0;
    bool inRun = false;
    for (int x = 0; x < kConsoleColumns;) {
        if (ShowsBlank(row[x]) && !SameLook(row[x], shown[x])) {
            int end = x;
            int changed = 0;
            for (; end < kConsoleColumns && ShowsBlank(row[end]); ++end) changed += !SameLook(row[end], shown[end]);
            cost += (inRun ? 0 : kMoveCost) + std::min(changed, end == kConsoleColumns ? 3 : 5);
            inRun = false;
            x = end;
            continue;
        }
        int cells = 1;
        std::string text = ShownText(view, row, x, cells);
        bool changed = false;
        for (int i = x; i < x + cells; ++i) changed = changed || !SameLook(row[i], shown[i]);
        if (changed) cost += (inRun ? 0 : kMoveCost) + static_cast<int>(text.size());
        inRun = changed;
        x += cells;
    }
    return cost;
}

// The shown row once its cells from column `start` on have moved by `shift`
// columns to the left (negative: to the right), blanks coming in. Half a
// character left at either end of the move is marked unknown.
void ShiftedRow(const ConsoleCell* shown, int start, int shift, ConsoleCell* moved) {
    for (int x = 0; x < kConsoleColumns; ++x) {
        int from = x < start ? x : x + shift;
        moved[x] = from >= start && from < kConsoleColumns ? shown[from] : x < start ? shown[x] : BlankCell();
    }
    for (int x = 0; x < kConsoleColumns; ++x) {
        if (moved[x].half == kTrailCell && (x == 0 || moved[x - 1].half != kLeadCell)) moved[x].half = kUnknownHalf;
        if (moved[x].half == kLeadCell && (x + 1 == kConsoleColumns || moved[x + 1].half != kTrailCell)) {
            moved[x].half = kUnknownHalf;
        }
    }
}

// When much of a row moved sideways (a screen scrolling by, a banner
// sliding), cells deleted or inserted where the change starts move what the
// terminal shows, and only the cells that came in are drawn afterwards.
void ShiftRow(TerminalView& view, const ConsoleCell* row, int y, std::string& out) {
    constexpr int kMostShift = 8;
    constexpr int kShiftCost = 6;       // a move and the deletion or insertion
    constexpr int kBlankFirstCost = 6;  // a move and two blanks
    ConsoleCell* shown = view.shown[y];
    int start = 0;
    while (start < kConsoleColumns && SameLook(row[start], shown[start])) ++start;
    if (start == kConsoleColumns) return;
    // Cells are never deleted or inserted from within a double-width
    // character: some terminals (mlterm) then take the whole character and
    // shift the rest of the row one column more. The change starts at the
    // character's first column instead, and its two cells are written again.
    if (start > 0 && shown[start].half == kTrailCell && shown[start - 1].half == kLeadCell) --start;
    // Over blanks no move helps (a screen drawn on a cleared terminal): the
    // cells are written either way, so the search is skipped.
    bool blankFromStart = true;
    for (int x = start; x < kConsoleColumns && blankFromStart; ++x) blankFromStart = ShowsBlank(shown[x]);
    if (blankFromStart) return;
    int bestCost = DrawCost(view, row, shown);
    int best = 0;
    int bestBlanked = -1;
    ConsoleCell bestRow[kConsoleColumns];
    ConsoleCell before[kConsoleColumns];
    ConsoleCell moved[kConsoleColumns];
    for (int shift = -kMostShift; shift <= kMostShift && bestCost > kShiftCost; ++shift) {
        // Inserting pushes cells off the row's end; on a wider terminal they
        // would still show, so only blanks may go.
        bool pushesOutText = false;
        for (int x = std::max(start, kConsoleColumns + shift); x < kConsoleColumns; ++x) {
            pushesOutText = pushesOutText || !ShowsBlank(shown[x]);
        }
        if (shift == 0 || pushesOutText) continue;
        // Nor may a deletion end within one: that character is overwritten
        // with two blanks first (a row of them moving by one column).
        std::copy(shown, shown + kConsoleColumns, before);
        int blanked = shift > 0 && start + shift < kConsoleColumns && shown[start + shift].half == kTrailCell
                          ? start + shift - 1
                          : -1;
        if (blanked >= 0) before[blanked] = before[blanked + 1] = BlankCell();
        ShiftedRow(before, start, shift, moved);
        int cost = kShiftCost + (blanked >= 0 ? kBlankFirstCost : 0) + DrawCost(view, row, moved);
        if (cost < bestCost) {
            best = shift;
            bestBlanked = blanked;
            bestCost = cost;
            std::copy(moved, moved + kConsoleColumns, bestRow);
        }
    }
    if (best == 0) return;
    if (bestBlanked >= 0) {
        MoveTo(view, bestBlanked, y, out);
        out += "  ";  // in either look, on black
        Advance(view, 2);
    }
    MoveTo(view, start, y, out);
    out += Sequence(best > 0 ? "\x1b[%dP" : "\x1b[%d@", best > 0 ? best : -best);
    std::copy(bestRow, bestRow + kConsoleColumns, shown);
}

struct RowScroll {
    int top = 0;     // the scroll region
    int bottom = 0;
    int shift = 0;   // rows the content moves up (negative: down)
};

// What scrolling the region spares: the cost of drawing its rows as they are,
// less the cost of drawing them once scrolled and of the scroll itself.
int ScrollSaving(const TerminalView& view, const MemoryConsole& console, const RowScroll& scroll) {
    constexpr int kScrollCost = 20;  // region, position, line feeds, reset
    ConsoleCell blank[kConsoleColumns];
    std::fill(blank, blank + kConsoleColumns, BlankCell());
    int saving = -kScrollCost;
    for (int y = scroll.top; y <= scroll.bottom; ++y) {
        int from = y + scroll.shift;
        const ConsoleCell* after = from >= scroll.top && from <= scroll.bottom ? view.shown[from] : blank;
        saving += DrawCost(view, console.cells[y], view.shown[y]) - DrawCost(view, console.cells[y], after);
    }
    return saving;
}

// When a block of rows moved up or down as a whole (a screen scrolling by,
// a log moving its lines up), the terminal scrolls it within a scroll region,
// and only the rows that came in are drawn afterwards.
void ScrollRows(TerminalView& view, const MemoryConsole& console, int rows, std::string& out) {
    constexpr int kMostScroll = 4;
    constexpr int kFewestRows = 3;  // rows that must have moved
    RowScroll best;
    int bestSaving = 0;
    for (int shift = -kMostScroll; shift <= kMostScroll; ++shift) {
        if (shift == 0) continue;
        // Each run of changed rows that the view shows `shift` rows lower (up)
        // or higher (down) is a candidate.
        int runFirst = 0;
        int runCount = 0;
        for (int y = 0; y <= rows; ++y) {
            int from = y + shift;
            bool moved = y < rows && from >= 0 && from < rows && !RowsLookAlike(console.cells[y], view.shown[y]) &&
                         RowsLookAlike(console.cells[y], view.shown[from]);
            if (moved) {
                if (runCount++ == 0) runFirst = y;
                continue;
            }
            if (runCount >= kFewestRows) {
                int last = runFirst + runCount - 1;
                RowScroll scroll{shift > 0 ? runFirst : runFirst + shift, shift > 0 ? last + shift : last, shift};
                int saving = ScrollSaving(view, console, scroll);
                if (saving > bestSaving) {
                    best = scroll;
                    bestSaving = saving;
                }
            }
            runCount = 0;
        }
    }
    if (best.shift == 0) return;
    char sequence[64];
    // Within the region a line feed on its last row moves it up, a reverse
    // index on its first row moves it down. Setting or resetting the region
    // homes the cursor.
    std::snprintf(sequence, sizeof sequence, "\x1b[%d;%dr\x1b[%d;1H", best.top + 1, best.bottom + 1,
                  (best.shift > 0 ? best.bottom : best.top) + 1);
    out += sequence;
    for (int i = 0; i < (best.shift > 0 ? best.shift : -best.shift); ++i) out += best.shift > 0 ? "\n" : "\x1bM";
    out += "\x1b[r";
    view.cursorX = 0;
    view.cursorY = 0;
    ConsoleCell moved[kConsoleRows][kConsoleColumns];
    for (int y = best.top; y <= best.bottom; ++y) {
        int from = y + best.shift;
        for (int x = 0; x < kConsoleColumns; ++x) {
            moved[y][x] = from >= best.top && from <= best.bottom ? view.shown[from][x] : BlankCell();
        }
    }
    for (int y = best.top; y <= best.bottom; ++y) std::copy(moved[y], moved[y] + kConsoleColumns, view.shown[y]);
}

}  // namespace

std::string ShownText(const TerminalView& view, const ConsoleCell* row, int x, int& cells) {
    cells = CharacterWidth(row, x);
    if (cells == 1) return row[x].half == kSingleCell ? SingleByteText(row[x].byte) : SingleByteText(' ');
    const Glyph& glyph = DoubleByteGlyph(row[x].byte, row[x + 1].byte);
    bool drawnNarrow = DrawnNarrow(glyph, view.ambiguousWide);
    return drawnNarrow ? glyph.utf8 + " " : glyph.utf8;
}

bool SameLook(const ConsoleCell& a, const ConsoleCell& b) {
    return SameCell(a, b) || (ShowsBlank(a) && ShowsBlank(b));
}

namespace {

// Everything that changed, drawn in place or moved.
void RenderChanges(TerminalView& view, const MemoryConsole& console, std::string& out) {
    if (ViewTooSmall(view)) {
        if (view.repaint || !view.noticeShown) ShowNotice(view, out);
        view.noticeShown = true;
        view.repaint = false;
        return;
    }
    std::size_t start = out.size();
    if (view.repaint || view.noticeShown) ClearTerminal(view, out);
    view.repaint = false;
    view.noticeShown = false;
    int rows = std::min(view.rows, kConsoleRows);
    ScrollRows(view, console, rows, out);
    for (int y = 0; y < rows; ++y) {
        const ConsoleCell* row = console.cells[y];
        ConsoleCell* shown = view.shown[y];
        ShiftRow(view, row, y, out);
        for (int x = 0; x < kConsoleColumns;) {
            int width = CharacterWidth(row, x);
            bool changed = false;
            for (int i = x; i < x + width; ++i) changed = changed || !SameLook(row[i], shown[i]);
            if (!changed) {
                x += width;
                continue;
            }
            if (EraseBlanks(view, row, x, y, out, x)) continue;
            DrawCharacter(view, row, x, y, width, out);
            for (int i = x; i < x + width; ++i) shown[i] = row[i];
            x += width;
        }
    }
    // Leave the cursor somewhere known, and never on the bottom-right cell.
    if (out.size() != start && (view.cursorX < 0 || (view.cursorX >= view.columns - 1 && view.cursorY >= view.rows - 1))) {
        MoveTo(view, 0, 0, out);
    }
}

}  // namespace

void ResetTerminalView(TerminalView& view, int columns, int rows, AmbiguousWidth ambiguous) {
    view = TerminalView{};
    view.ambiguousWide = ambiguous == AmbiguousWidth::kWide;
    view.widthsKnown = ambiguous != AmbiguousWidth::kUnmeasured;
    ResizeTerminalView(view, columns, rows);
}

void ResizeTerminalView(TerminalView& view, int columns, int rows) {
    view.columns = columns;
    view.rows = rows;
    view.repaint = true;
}

void ComposeDisplay(const MemoryConsole& console, const std::string& hint, int terminalRows, MemoryConsole& display) {
    display = console;
    if (hint.empty() || terminalRows <= kHintRow) return;
    display.attribute = kNormalAttribute;
    display.pendingLead = -1;
    PlaceMemoryCursor(display, 0, kHintRow);
    WriteMemoryConsole(display, hint.data(), std::min<std::size_t>(hint.size(), kConsoleColumns - 1));
}

void RenderConsole(TerminalView& view, const MemoryConsole& console, std::string& out) {
    std::size_t begin = out.size();
    RenderChanges(view, console, out);
    if (out.size() - begin > kSynchronizeOver) {
        out.insert(begin, kBeginUpdate);
        out += kEndUpdate;
    }
}
