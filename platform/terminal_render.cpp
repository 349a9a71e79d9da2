#include "platform/terminal_render.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "platform/sjis_utf8.h"

namespace {

// How wide a terminal draws a character: always one column, always two, or as
// the terminal is set up for East Asian Ambiguous characters (● ■ ※ ─ α).
enum GlyphWidth { kNarrow, kWide, kAmbiguous };

struct Glyph {
    std::string utf8;
    GlyphWidth width;
};

// The first code point of UTF-8 text, and how many bytes it takes (0 if none).
std::size_t DecodeCodePoint(const std::string& text, char32_t& codePoint) {
    if (text.empty()) return 0;
    unsigned char first = static_cast<unsigned char>(text[0]);
    std::size_t length = first < 0x80 ? 1 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 0;
    if (length == 0 || length > text.size()) return 0;
    codePoint = length == 1 ? first : first & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) codePoint = (codePoint << 6) | (text[i] & 0x3F);
    return length;
}

// East Asian Wide and Fullwidth code points: every terminal draws them two
// columns wide. Every other character of a double-byte Shift-JIS code is
// Ambiguous (Greek, Cyrillic, box drawing, ● ■ ○ ※ and the like).
bool IsWideCodePoint(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// The character of a double-byte code, converted once and kept.
const Glyph& DoubleByteGlyph(unsigned char lead, unsigned char trail) {
    static std::unordered_map<unsigned, Glyph> glyphs;
    unsigned key = (static_cast<unsigned>(lead) << 8) | trail;
    auto found = glyphs.find(key);
    if (found != glyphs.end()) return found->second;
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    Glyph glyph{SjisToUtf8(bytes, 2), kAmbiguous};
    char32_t codePoint = 0;
    std::size_t length = DecodeCodePoint(glyph.utf8, codePoint);
    if (length == 0 || length != glyph.utf8.size() || codePoint < 0x80) {
        glyph = Glyph{"?", kNarrow};  // a code with no character
    } else if (IsWideCodePoint(codePoint)) {
        glyph.width = kWide;
    }
    return glyphs.emplace(key, glyph).first->second;
}

// The text of a single-byte cell: ASCII as it is, half-width katakana in UTF-8,
// control bytes as blanks and bytes with no character as '?'.
const std::string& SingleByteText(unsigned char byte) {
    static std::string texts[256];
    static bool ready = false;
    if (!ready) {
        for (int b = 0; b < 256; ++b) {
            if (b >= 0x20 && b < 0x7F) {
                texts[b] = std::string(1, static_cast<char>(b));
            } else if (b < 0x20 || b == 0x7F) {
                texts[b] = " ";
            } else if (b >= 0xA1 && b <= 0xDF) {
                const char katakana = static_cast<char>(b);
                texts[b] = SjisToUtf8(&katakana, 1);
            } else {
                texts[b] = "?";
            }
        }
        ready = true;
    }
    return texts[byte];
}

void MoveTo(TerminalView& view, int x, int y, std::string& out) {
    if (view.cursorX == x && view.cursorY == y) return;
    char sequence[32];
    std::snprintf(sequence, sizeof sequence, "\x1b[%d;%dH", y + 1, x + 1);
    out += sequence;
    view.cursorX = x;
    view.cursorY = y;
}

// The bright bit shows as bold, which stays readable on light and dark
// terminals; everything else is the terminal's own colours.
void UseAttribute(TerminalView& view, unsigned attribute, std::string& out) {
    int look = (attribute & 8) ? 1 : 0;
    if (view.attribute == look) return;
    out += look ? "\x1b[0;1m" : "\x1b[0m";
    view.attribute = look;
}

void PutAscii(TerminalView& view, char byte, std::string& out) {
    out += byte;
    view.cursorX += 1;
    if (view.cursorX >= view.columns) view.cursorX = -1;  // held at the margin: place it again
}

void ClearTerminal(TerminalView& view, std::string& out) {
    out += "\x1b[0m\x1b[H\x1b[2J";
    view.attribute = 0;
    view.cursorX = 0;
    view.cursorY = 0;
    for (auto& row : view.shown) {
        for (auto& cell : row) cell = ConsoleCell{' ', kNormalAttribute, kSingleCell};
    }
}

void ShowNotice(TerminalView& view, std::string& out) {
    ClearTerminal(view, out);
    char lines[2][96];
    std::snprintf(lines[0], sizeof lines[0], "The game needs a terminal of at least %d x %d.", kMinimumColumns,
                  kMinimumRows);
    std::snprintf(lines[1], sizeof lines[1], "This one is %d x %d: please make it larger.", view.columns, view.rows);
    for (int i = 0; i < 2 && i < view.rows; ++i) {
        std::string line = lines[i];
        int room = std::max(0, view.columns - (i == view.rows - 1 ? 1 : 0));
        if (static_cast<int>(line.size()) > room) line.resize(static_cast<std::size_t>(room));
        MoveTo(view, 0, i, out);
        out += line;
    }
    view.cursorX = -1;
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
        UseAttribute(view, cell.attribute, out);
        if (text.size() == 1) {
            PutAscii(view, text[0], out);
        } else {
            out += text;
            view.cursorX = -1;
        }
        return;
    }
    const Glyph& glyph = DoubleByteGlyph(cell.byte, row[x + 1].byte);
    bool drawnNarrow = glyph.width == kNarrow || (glyph.width == kAmbiguous && !view.ambiguousWide);
    if (drawnNarrow) {
        // The blank goes in first, so that a terminal that draws the character
        // two columns wide after all simply covers it.
        MoveTo(view, x + 1, y, out);
        UseAttribute(view, cell.attribute, out);
        PutAscii(view, ' ', out);
    }
    MoveTo(view, x, y, out);
    UseAttribute(view, cell.attribute, out);
    out += glyph.utf8;
    // Never trust the terminal's idea of where a non-ASCII character left it.
    view.cursorX = -1;
}

bool ShowsBlank(const ConsoleCell& cell) { return cell.half == kSingleCell && SingleByteText(cell.byte) == " "; }

}  // namespace

std::string ShownText(const TerminalView& view, const ConsoleCell* row, int x, int& cells) {
    cells = CharacterWidth(row, x);
    if (cells == 1) return row[x].half == kSingleCell ? SingleByteText(row[x].byte) : SingleByteText(' ');
    const Glyph& glyph = DoubleByteGlyph(row[x].byte, row[x + 1].byte);
    bool drawnNarrow = glyph.width == kNarrow || (glyph.width == kAmbiguous && !view.ambiguousWide);
    return drawnNarrow ? glyph.utf8 + " " : glyph.utf8;
}

bool SameLook(const ConsoleCell& a, const ConsoleCell& b) {
    return SameCell(a, b) || (ShowsBlank(a) && ShowsBlank(b));
}

void ResetTerminalView(TerminalView& view, int columns, int rows, bool ambiguousWide) {
    view = TerminalView{};
    view.ambiguousWide = ambiguousWide;
    ResizeTerminalView(view, columns, rows);
}

void ResizeTerminalView(TerminalView& view, int columns, int rows) {
    view.columns = columns;
    view.rows = rows;
    view.repaint = true;
}

void RenderConsole(TerminalView& view, const MemoryConsole& console, std::string& out) {
    if (view.columns < kMinimumColumns || view.rows < kMinimumRows) {
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
    for (int y = 0; y < rows; ++y) {
        const ConsoleCell* row = console.cells[y];
        ConsoleCell* shown = view.shown[y];
        for (int x = 0; x < kConsoleColumns;) {
            int width = CharacterWidth(row, x);
            bool changed = false;
            for (int i = x; i < x + width; ++i) changed = changed || !SameCell(row[i], shown[i]);
            if (changed) {
                DrawCharacter(view, row, x, y, width, out);
                for (int i = x; i < x + width; ++i) shown[i] = row[i];
            }
            x += width;
        }
    }
    // Leave the cursor somewhere known, and never on the bottom-right cell.
    if (out.size() != start && (view.cursorX < 0 || (view.cursorX >= view.columns - 1 && view.cursorY >= view.rows - 1))) {
        MoveTo(view, 0, 0, out);
    }
}
