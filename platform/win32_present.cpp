#include "platform/win32_present.h"

#include <algorithm>

#include "platform/size_notice.h"

namespace {

// Unchanged characters between two changed ones that are written again
// rather than placing the cursor anew: a console call costs more than a few cells.
constexpr int kMostRewritten = 4;

bool IsBlank(const ConsoleCell& cell) { return cell.half == kSingleCell && cell.byte == ' '; }

bool GameAttribute(int attribute) { return attribute == 7 || attribute == 15; }

// Two cells look alike on the console: the same character in the same
// attribute, or both blank (the background is black in both attributes).
bool LookAlike(const ConsoleCell& a, const ConsoleCell& b) {
    return (a.byte == b.byte && a.attribute == b.attribute && a.half == b.half) || (IsBlank(a) && IsBlank(b));
}

// How many cells the character at column x takes: 2 for a whole double-byte
// character, else 1 (half a character on its own shows as a blank).
int CharacterWidth(const ConsoleCell* row, int x) {
    return row[x].half == kLeadCell && x + 1 < kConsoleColumns && row[x + 1].half == kTrailCell ? 2 : 1;
}

// The cell as the console is to show it: half a character on its own is a blank.
ConsoleCell Shown(const ConsoleCell* row, int x, int width) {
    if (width == 1 && row[x].half != kSingleCell) return ConsoleCell{' ', row[x].attribute, kSingleCell};
    return row[x];
}

bool CharacterChanged(const ConsoleCell* row, const ConsoleCell* shown, int x, int width) {
    if (width == 1) return !LookAlike(Shown(row, x, 1), shown[x]);
    return !LookAlike(row[x], shown[x]) || !LookAlike(row[x + 1], shown[x + 1]);
}

void BlankAll(Win32View& view) {
    for (auto& row : view.shown) {
        for (auto& cell : row) cell = ConsoleCell{' ', kNormalAttribute, kSingleCell};
    }
}

void Add(std::vector<Win32Call>& calls, Win32Call::Kind kind, int x = 0, int y = 0, unsigned attribute = 0) {
    Win32Call call;
    call.kind = kind;
    call.x = x;
    call.y = y;
    call.attribute = attribute;
    calls.push_back(call);
}

void UseAttribute(Win32View& view, unsigned attribute, std::vector<Win32Call>& calls) {
    if (view.attribute == static_cast<int>(attribute)) return;
    Add(calls, Win32Call::kAttribute, 0, 0, attribute);
    view.attribute = static_cast<int>(attribute);
}

// Bytes at the cursor, joined to the write just before when there is one.
void AddText(std::vector<Win32Call>& calls, const char* bytes, std::size_t count) {
    if (calls.empty() || calls.back().kind != Win32Call::kText) Add(calls, Win32Call::kText);
    calls.back().text.append(bytes, count);
}

void Clear(Win32View& view, std::vector<Win32Call>& calls) {
    Add(calls, Win32Call::kClear);
    BlankAll(view);
}

void ShowNotice(Win32View& view, std::vector<Win32Call>& calls) {
    Clear(view, calls);
    std::vector<std::string> lines = SizeNoticeLines(view.columns, view.rows);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        Add(calls, Win32Call::kPlace, 0, static_cast<int>(i));
        UseAttribute(view, kNormalAttribute, calls);
        AddText(calls, lines[i].data(), lines[i].size());
    }
}

// The column of the next changed character of the row from x on, or -1 when
// none comes within `within` columns.
int NextChange(const ConsoleCell* row, const ConsoleCell* shown, int x, int within) {
    for (int end = std::min(kConsoleColumns, x + within + 1); x < end;) {
        int width = CharacterWidth(row, x);
        if (CharacterChanged(row, shown, x, width)) return x;
        x += width;
    }
    return -1;
}

// Writes the changed characters of row y: one placement for each run of
// them, the few unchanged ones between two changes written again.
void DrawRow(Win32View& view, const ConsoleCell* row, int y, std::vector<Win32Call>& calls) {
    ConsoleCell* shown = view.shown[y];
    bool inRun = false;
    for (int x = 0; x < kConsoleColumns;) {
        int width = CharacterWidth(row, x);
        if (!CharacterChanged(row, shown, x, width) && !(inRun && NextChange(row, shown, x, kMostRewritten) >= 0)) {
            inRun = false;
            x += width;
            continue;
        }
        if (!inRun) Add(calls, Win32Call::kPlace, x, y);
        inRun = true;
        if (width == 2) {
            UseAttribute(view, row[x].attribute, calls);
            const char bytes[2] = {static_cast<char>(row[x].byte), static_cast<char>(row[x + 1].byte)};
            AddText(calls, bytes, 2);
            shown[x] = row[x];
            shown[x + 1] = row[x + 1];
        } else {
            ConsoleCell cell = Shown(row, x, 1);
            // A blank looks the same in either of the game's attributes (black
            // behind both), not in one the console had before the game's first.
            if (!IsBlank(cell) || !GameAttribute(view.attribute)) UseAttribute(view, cell.attribute, calls);
            const char byte = static_cast<char>(cell.byte);
            AddText(calls, &byte, 1);
            shown[x] = cell;
        }
        x += width;
    }
}

}  // namespace

void ResetWin32View(Win32View& view, int columns, int rows) {
    view = Win32View{};
    BlankAll(view);
    ResizeWin32View(view, columns, rows);
    view.repaint = true;
}

void ResizeWin32View(Win32View& view, int columns, int rows) {
    if (view.columns == columns && view.rows == rows) return;
    view.columns = columns;
    view.rows = rows;
    view.repaint = true;
}

void ComposeWin32Display(const MemoryConsole& console, const std::string& help, int windowRows, MemoryConsole& display) {
    display = console;
    if (help.empty() || windowRows <= kWin32HelpRow) return;
    // Blank first: what the game left on the row does not show through a short help.
    for (ConsoleCell& cell : display.cells[kWin32HelpRow]) cell = ConsoleCell{' ', kNormalAttribute, kSingleCell};
    display.attribute = kNormalAttribute;
    display.pendingLead = -1;
    PlaceMemoryCursor(display, 0, kWin32HelpRow);
    // Never the row's last column: a write there would move the console's cursor to the next row.
    WriteMemoryConsole(display, help.data(), std::min<std::size_t>(help.size(), kConsoleColumns - 1));
}

void RenderWin32(Win32View& view, const MemoryConsole& display, std::vector<Win32Call>& calls) {
    if (Win32TooSmall(view)) {
        if (view.repaint || !view.noticeShown) ShowNotice(view, calls);
        view.noticeShown = true;
        view.repaint = false;
        return;
    }
    if (view.repaint || view.noticeShown) Clear(view, calls);
    view.repaint = false;
    view.noticeShown = false;
    int rows = std::min(view.rows, kConsoleRows);
    for (int y = 0; y < rows; ++y) DrawRow(view, display.cells[y], y, calls);
}
