#include "tools/bench/screen_model.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr unsigned char kEscape = 0x1B;
constexpr unsigned char kCancel = 0x18;  // CAN and SUB abandon a sequence
constexpr unsigned char kSubstitute = 0x1A;
constexpr unsigned char kBell = 0x07;

ScreenCell& Cell(ScreenModel& screen, int row, int column) {
    return screen.cells[static_cast<std::size_t>(row * screen.columns + column)];
}

const ScreenCell& Cell(const ScreenModel& screen, int row, int column) {
    return screen.cells[static_cast<std::size_t>(row * screen.columns + column)];
}

void ClampCursor(ScreenModel& screen) {
    screen.cursorX = std::clamp(screen.cursorX, 0, screen.columns - 1);
    screen.cursorY = std::clamp(screen.cursorY, 0, screen.rows - 1);
}

// Blanks cells [from, to) of a row. A wide character cut by either end is
// blanked whole, as terminals do, so that no half of one is left behind.
void EraseCells(ScreenModel& screen, int row, int from, int to) {
    from = std::max(from, 0);
    to = std::min(to, screen.columns);
    if (from >= to) return;
    if (from > 0 && Cell(screen, row, from).rightHalf) from -= 1;
    if (to < screen.columns && Cell(screen, row, to).rightHalf) to += 1;
    for (int x = from; x < to; ++x) Cell(screen, row, x) = ScreenCell{};
}

void EraseRows(ScreenModel& screen, int from, int to) {
    for (int row = std::max(from, 0); row < std::min(to, screen.rows); ++row) EraseCells(screen, row, 0, screen.columns);
}

// Moves the scroll region's rows up (or down) by one, a blank row coming in.
void ScrollRegion(ScreenModel& screen, bool up) {
    int top = screen.scrollTop;
    int bottom = screen.scrollBottom;
    for (int step = 0; step < bottom - top; ++step) {
        int to = up ? top + step : bottom - step;
        int from = up ? to + 1 : to - 1;
        for (int x = 0; x < screen.columns; ++x) Cell(screen, to, x) = Cell(screen, from, x);
    }
    EraseRows(screen, up ? bottom : top, (up ? bottom : top) + 1);
}

// On the region's last row a line feed scrolls the region up.
void LineFeed(ScreenModel& screen) {
    if (screen.cursorY == screen.scrollBottom) {
        ScrollRegion(screen, true);
    } else if (screen.cursorY + 1 < screen.rows) {
        screen.cursorY += 1;
    }
}

// On the region's first row a reverse index scrolls the region down.
void ReverseIndex(ScreenModel& screen) {
    if (screen.cursorY == screen.scrollTop) {
        ScrollRegion(screen, false);
    } else if (screen.cursorY > 0) {
        screen.cursorY -= 1;
    }
}

// Deletes (or inserts blanks at) count cells at the cursor; the rest of the
// row moves left (right). Half a wide character left behind is blanked.
void MoveRowCells(ScreenModel& screen, int count, bool remove) {
    int y = screen.cursorY;
    int x = screen.cursorX;
    if (Cell(screen, y, x).rightHalf) EraseCells(screen, y, x, x + 1);
    std::vector<ScreenCell> row(screen.cells.begin() + y * screen.columns, screen.cells.begin() + (y + 1) * screen.columns);
    for (int to = x; to < screen.columns; ++to) {
        int from = remove ? to + count : to - count;
        Cell(screen, y, to) = from >= x && from < screen.columns ? row[static_cast<std::size_t>(from)] : ScreenCell{};
    }
    if (Cell(screen, y, x).rightHalf) Cell(screen, y, x) = ScreenCell{};
    int last = screen.columns - 1;
    if (CharacterColumns(Cell(screen, y, last).character) == 2 && !Cell(screen, y, last).rightHalf) {
        Cell(screen, y, last) = ScreenCell{};
    }
}

// DECSTBM: the scroll region, the whole screen when the rows are missing or
// wrong; the cursor goes home.
void SetScrollRegion(ScreenModel& screen, const std::vector<int>& numbers) {
    int top = numbers.size() > 0 && numbers[0] > 0 ? numbers[0] - 1 : 0;
    int bottom = numbers.size() > 1 && numbers[1] > 0 ? numbers[1] - 1 : screen.rows - 1;
    if (top >= bottom || bottom >= screen.rows) {
        top = 0;
        bottom = screen.rows - 1;
    }
    screen.scrollTop = top;
    screen.scrollBottom = bottom;
    screen.cursorX = 0;
    screen.cursorY = 0;
}

// Writes a character at the cursor and moves the cursor past it. With
// autowrap off the cursor stops at the last column, and a wide character
// that does not fit there is drawn in the last two columns.
void PutCharacter(ScreenModel& screen, char32_t character) {
    int width = CharacterColumns(character);
    int x = std::min(screen.cursorX, screen.columns - width);
    int y = screen.cursorY;
    EraseCells(screen, y, x, x + width);
    Cell(screen, y, x) = ScreenCell{character, false};
    if (width == 2) Cell(screen, y, x + 1) = ScreenCell{0, true};
    screen.cursorX = std::min(x + width, screen.columns - 1);
}

// The numbers of a CSI sequence; an empty or missing one is 0.
std::vector<int> Numbers(const std::string& parameters) {
    std::vector<int> numbers(1, 0);
    for (char byte : parameters) {
        if (byte >= '0' && byte <= '9') {
            numbers.back() = std::min(numbers.back() * 10 + (byte - '0'), 100000);
        } else if (byte == ';') {
            numbers.push_back(0);
        }
    }
    return numbers;
}

// A count or position parameter, where 0 and a missing one both mean 1.
int AtLeastOne(const std::vector<int>& numbers, std::size_t index) {
    return index < numbers.size() && numbers[index] > 0 ? numbers[index] : 1;
}

void EraseInDisplay(ScreenModel& screen, int mode) {
    switch (mode) {
    case 0:
        EraseCells(screen, screen.cursorY, screen.cursorX, screen.columns);
        EraseRows(screen, screen.cursorY + 1, screen.rows);
        break;
    case 1:
        EraseRows(screen, 0, screen.cursorY);
        EraseCells(screen, screen.cursorY, 0, screen.cursorX + 1);
        break;
    case 2:
    case 3:
        EraseRows(screen, 0, screen.rows);
        break;
    default:
        break;
    }
}

void EraseInLine(ScreenModel& screen, int mode) {
    switch (mode) {
    case 0: EraseCells(screen, screen.cursorY, screen.cursorX, screen.columns); break;
    case 1: EraseCells(screen, screen.cursorY, 0, screen.cursorX + 1); break;
    case 2: EraseCells(screen, screen.cursorY, 0, screen.columns); break;
    default: break;
    }
}

void ReportStatus(ScreenModel& screen, int what) {
    char reply[32];
    if (what == 6) {
        std::snprintf(reply, sizeof reply, "\x1b[%d;%dR", screen.cursorY + 1, screen.cursorX + 1);
    } else if (what == 5) {
        std::snprintf(reply, sizeof reply, "\x1b[0n");
    } else {
        return;
    }
    screen.replies += reply;
}

void RunCsi(ScreenModel& screen, char final) {
    const std::string& parameters = screen.parameters;
    // Private sequences (DEC modes and the like) and those with intermediate
    // bytes change nothing the model keeps.
    if (!parameters.empty() && (parameters[0] == '?' || parameters[0] == '>' || parameters[0] == '<' ||
                                parameters[0] == '=')) {
        return;
    }
    if (parameters.find_first_of(" !\"#$%&'()*+,-./") != std::string::npos) return;
    std::vector<int> numbers = Numbers(parameters);
    int n = AtLeastOne(numbers, 0);
    switch (final) {
    case 'H':
    case 'f':
        screen.cursorY = n - 1;
        screen.cursorX = AtLeastOne(numbers, 1) - 1;
        break;
    case 'A': screen.cursorY -= n; break;
    case 'B': screen.cursorY += n; break;
    case 'C': screen.cursorX += n; break;
    case 'D': screen.cursorX -= n; break;
    case 'E': screen.cursorY += n; screen.cursorX = 0; break;
    case 'F': screen.cursorY -= n; screen.cursorX = 0; break;
    case 'G':
    case '`': screen.cursorX = n - 1; break;
    case 'd': screen.cursorY = n - 1; break;
    case 'J': EraseInDisplay(screen, numbers[0]); break;
    case 'K': EraseInLine(screen, numbers[0]); break;
    case 'X': EraseCells(screen, screen.cursorY, screen.cursorX, screen.cursorX + n); break;
    case 'n': ReportStatus(screen, numbers[0]); break;
    case 'P': MoveRowCells(screen, n, true); break;
    case '@': MoveRowCells(screen, n, false); break;
    case 'r': SetScrollRegion(screen, numbers); break;
    default: break;  // 'm' (colours) and everything else
    }
    ClampCursor(screen);
}

// Control characters act wherever they come, within a sequence too.
void RunControl(ScreenModel& screen, unsigned char byte) {
    switch (byte) {
    case '\r': screen.cursorX = 0; break;
    case '\n':
    case '\v':
    case '\f': LineFeed(screen); break;
    case '\b': screen.cursorX = std::max(screen.cursorX - 1, 0); break;
    case '\t': screen.cursorX = std::min((screen.cursorX / 8 + 1) * 8, screen.columns - 1); break;
    default: break;
    }
}

// A byte of text: ASCII, or part of a UTF-8 character. A broken UTF-8
// sequence shows as U+FFFD, as terminals show it.
void TakeTextByte(ScreenModel& screen, unsigned char byte) {
    if (screen.continuationLeft > 0) {
        if ((byte & 0xC0) == 0x80) {
            screen.pending = (screen.pending << 6) | (byte & 0x3F);
            if (--screen.continuationLeft == 0) PutCharacter(screen, screen.pending);
            return;
        }
        screen.continuationLeft = 0;
        PutCharacter(screen, kReplacement);
    }
    if (byte < 0x20 || byte == 0x7F) {
        if (byte == kEscape) {
            screen.state = ScreenModel::State::kEscape;
        } else {
            RunControl(screen, byte);
        }
    } else if (byte < 0x80) {
        PutCharacter(screen, byte);
    } else if (byte >= 0xC2 && byte <= 0xDF) {
        screen.pending = byte & 0x1F;
        screen.continuationLeft = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        screen.pending = byte & 0x0F;
        screen.continuationLeft = 2;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        screen.pending = byte & 0x07;
        screen.continuationLeft = 3;
    } else {
        PutCharacter(screen, kReplacement);
    }
}

void TakeByte(ScreenModel& screen, unsigned char byte) {
    using State = ScreenModel::State;
    if (screen.state != State::kText && (byte == kCancel || byte == kSubstitute)) {
        screen.state = State::kText;
        return;
    }
    switch (screen.state) {
    case State::kText:
        TakeTextByte(screen, byte);
        break;
    case State::kEscape:
        if (byte == '[') {
            screen.parameters.clear();
            screen.state = State::kCsi;
        } else if (byte == ']' || byte == 'P' || byte == 'X' || byte == '^' || byte == '_') {
            screen.state = State::kString;  // OSC, DCS and the like: read to their end, ignored
        } else if (byte >= 0x20 && byte <= 0x2F) {
            screen.state = State::kEscapeIntermediate;  // a character set choice and the like
        } else if (byte == kEscape) {
            // a new sequence starts
        } else if (byte < 0x20) {
            RunControl(screen, byte);
        } else if (byte == 'M') {
            ReverseIndex(screen);
            screen.state = State::kText;
        } else {
            screen.state = State::kText;  // ESC 7, ESC =, ...: ignored
        }
        break;
    case State::kEscapeIntermediate:
        if (byte >= 0x30 && byte <= 0x7E) screen.state = State::kText;
        break;
    case State::kCsi:
        if (byte >= 0x20 && byte <= 0x3F) {
            screen.parameters += static_cast<char>(byte);
        } else if (byte >= 0x40 && byte <= 0x7E) {
            screen.state = State::kText;
            RunCsi(screen, static_cast<char>(byte));
        } else if (byte == kEscape) {
            screen.state = State::kEscape;
        } else if (byte < 0x20) {
            RunControl(screen, byte);
        }
        break;
    case State::kString:
        if (byte == kBell) screen.state = State::kText;
        if (byte == kEscape) screen.state = State::kStringEscape;
        break;
    case State::kStringEscape:
        // ESC \ ends the string; any other sequence ends it too and is read.
        screen.state = State::kText;
        if (byte != '\\') {
            screen.state = State::kEscape;
            TakeByte(screen, byte);
        }
        break;
    }
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

void ResetScreenModel(ScreenModel& screen, int columns, int rows) {
    screen = ScreenModel{};
    screen.columns = std::max(columns, 2);
    screen.rows = std::max(rows, 1);
    screen.cells.assign(static_cast<std::size_t>(screen.columns * screen.rows), ScreenCell{});
    screen.scrollBottom = screen.rows - 1;
}

void FeedScreenModel(ScreenModel& screen, const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) TakeByte(screen, static_cast<unsigned char>(bytes[i]));
}

// East Asian Wide (W) and Fullwidth (F) ranges of Unicode's EastAsianWidth.txt,
// merged where they touch: CJK, kana, Hangul, full-width forms, the wide
// symbols and emoji of the supplementary planes.
int CharacterColumns(char32_t c) {
    static const char32_t kWide[][2] = {
        {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
        {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
        {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
        {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
        {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
        {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
        {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
        {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
        {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
        {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
        {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
        {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF}, {0x1FA70, 0x1FAFF},
        {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
    };
    for (const auto& range : kWide) {
        if (c < range[0]) return 1;
        if (c <= range[1]) return 2;
    }
    return 1;
}

char32_t ScreenCharacter(const ScreenModel& screen, int row, int column) {
    if (row < 0 || row >= screen.rows || column < 0 || column >= screen.columns) return U' ';
    return Cell(screen, row, column).character;
}

std::string ScreenText(const ScreenModel& screen, int row, int from, int to) {
    std::string text;
    if (row < 0 || row >= screen.rows) return text;
    for (int x = std::max(from, 0); x < std::min(to, screen.columns); ++x) {
        const ScreenCell& cell = Cell(screen, row, x);
        if (!cell.rightHalf) AppendUtf8(text, cell.character);
    }
    return text;
}

std::string ScreenRowText(const ScreenModel& screen, int row) {
    std::string text = ScreenText(screen, row, 0, screen.columns);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

bool FirstDifference(const ScreenModel& a, const ScreenModel& b, int& row, int& column) {
    for (row = 0; row < std::min(a.rows, b.rows); ++row) {
        for (column = 0; column < std::min(a.columns, b.columns); ++column) {
            const ScreenCell& left = Cell(a, row, column);
            const ScreenCell& right = Cell(b, row, column);
            if (left.character != right.character || left.rightHalf != right.rightHalf) return true;
        }
    }
    return false;
}

bool SameScreenText(const ScreenModel& a, const ScreenModel& b) {
    int row = 0;
    int column = 0;
    return a.columns == b.columns && a.rows == b.rows && !FirstDifference(a, b, row, column);
}
