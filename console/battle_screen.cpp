#include "console/battle_screen.h"

#include <string>

#include "console/console.h"
#include "console/texts.h"
#include "records/records.h"

const char* const commandLabels[kCommandCount] = {
    kTextCommandFight,
    kTextCommandDefend,
    kTextCommandItem,
    kTextCommandFlee,
};

namespace {

// Each command box slides in over 25 frames, two columns a frame.
constexpr int kSlideFrames = 25;
constexpr int kSlideStep = 2;
constexpr int kSlideStart = (kSlideFrames - 1) * kSlideStep;  // 48 columns right of rest

// Rows of the status panel.
constexpr int kLevelRow = 12;
constexpr int kHpBarRow = 13;
constexpr int kHpLineRow = 14;
constexpr int kBoostTopRow = 16;
constexpr int kBoostRows = 3;

// Rows of the message window frame, and its width between the two sides.
constexpr int kMessageTopRow = 12;
constexpr int kMessageBottomRow = 18;
constexpr int kFrameRightSide = 53;
constexpr int kFrameMarks = 26;  // full-width marks along the top and bottom

void WriteBlanks(int count) { WriteText("%s", std::string(static_cast<std::size_t>(count), ' ').c_str()); }

void WriteDashes(int count) { WriteText("%s", std::string(static_cast<std::size_t>(count), '-').c_str()); }

bool IsCommandBox(int n) { return n >= 1 && n <= kCommandCount; }

}  // namespace

int HpBarLength(int hp, int maxHp) {
    if (hp <= 0 || maxHp <= 0) return 0;
    // The quotient first, then the product: for a few maxima (519) a full bar
    // comes out one dash short, and that is how the bar has always looked.
    double length = hp * (static_cast<double>(kBarWidth) / maxHp);
    if (length >= kBarWidth) return kBarWidth;
    return static_cast<int>(length);
}

int BoostBarLength(int turns) {
    if (turns == kBoostStartTurns) return kBarWidth;
    if (turns <= 0) return 0;
    double length = turns * 1.8;
    if (length >= kBarWidth) return kBarWidth;
    return static_cast<int>(length);
}

void DrawCommandBox(int n) {
    if (!IsCommandBox(n)) return;
    int p = panelColumn;
    SetCursor(p + 10 - 2 * n, 3 * n - 3);
    WriteText("%s", kTextBoxTop);
    SetCursor(p + 8 - 2 * n, 3 * n - 2);
    WriteText("%s", kTextBoxSide);
    SetCursor(p + 20 - 2 * n, 3 * n - 2);
    WriteText("%s", kTextBoxSide);
    SetCursor(p + 8 - 2 * n, 3 * n - 1);
    WriteText("%s", kTextBoxBottom);
}

void EraseCommandBox(int n) {
    if (!IsCommandBox(n)) return;
    int p = panelColumn;
    SetCursor(p + 10 - 2 * n, 3 * n - 3);
    WriteBlanks(12);
    SetCursor(p + 8 - 2 * n, 3 * n - 2);
    WriteBlanks(14);  // both sides and the label between them
    SetCursor(p + 8 - 2 * n, 3 * n - 1);
    WriteBlanks(12);
}

void SlideInCommandBoxes() {
    const int16_t rest = panelColumn;
    SetBright();  // box 1 holds the command cursor at the start
    for (int n = 1; n <= kCommandCount; ++n) {
        if (n == 2) SetNormal();
        panelColumn = static_cast<int16_t>(rest + kSlideStart);
        for (int frame = 0; frame < kSlideFrames; ++frame) {
            DrawCommandBox(n);
            Sleep(1);
            if (frame != kSlideFrames - 1) EraseCommandBox(n);  // the last frame stays
            panelColumn = static_cast<int16_t>(panelColumn - kSlideStep);
        }
    }
    panelColumn = rest;
}

void DrawCommandLabels() {
    // The labels stand at fixed columns, whatever panelColumn is.
    SetCursor(10, 1);
    for (int i = 0; i < kCommandCount; ++i) {
        if (i == kCommandCount - 1) WriteText(" ");  // the shorter last label sits one column in
        WriteText("%s", commandLabels[i]);
        SetCursor(consoleCursor.X - 2, consoleCursor.Y + 3);
        Sleep(100);
    }
}

void DrawEnemyViewFrame() {
    int v = viewColumn;
    SetCursor(v, 0);
    WriteText(" ___Enemy View_________");
    for (int row = 1; row <= 5; ++row) {
        SetCursor(v, row);
        WriteText("|                      |");
    }
    SetCursor(v, 6);
    WriteText("%s", kTextViewFrameBottom);
}

void DrawFrameMarks(int row, const char* mark) {
    for (int i = 0; i < kFrameMarks; ++i) {
        SetCursor(viewColumn + 1 + 2 * i, row);
        WriteText("%s", mark);
    }
}

void DrawFrameSides(int fromRow, int toRow) {
    for (int row = fromRow; row <= toRow; ++row) {
        SetCursor(viewColumn, row);
        WriteText("|");
        SetCursor(viewColumn + kFrameRightSide, row);
        WriteText("|");
    }
}

void DrawMessageFrame() {
    DrawFrameMarks(kMessageTopRow, kTextOverline);
    DrawFrameSides(kMessageTopRow, kMessageBottomRow);
    DrawFrameMarks(kMessageBottomRow, kTextUnderline);
}

void DrawLevelLine() {
    SetCursor(panelColumn + 6, kLevelRow);
    WriteText("Lv : %d", static_cast<int>(hero.level));
}

void DrawHpPanel() {
    int p = panelColumn;
    SetCursor(p + 3, kLevelRow);
    WriteText("|");
    SetCursor(p + 3, kHpLineRow);
    WriteText("|");
    SetCursor(p, kHpBarRow);
    WriteText("---+");
    int dashes = HpBarLength(hero.hp, hero.maxHp);
    for (int i = 0; i < dashes; ++i) {
        WriteText("-");
        Sleep(30);
    }
    SetCursor(p + 6, kHpLineRow);
    SetNormal();
    WriteText("HP : ");
    SetBright();
    WriteText("%d", static_cast<int>(hero.hp));
    SetNormal();
    WriteText(" / %d", static_cast<int>(hero.maxHp));
}

void RedrawHpBar() {
    SetCursor(panelColumn + 4, kHpBarRow);
    WriteBlanks(kBarWidth);
    SetCursor(panelColumn + 4, kHpBarRow);
    WriteDashes(HpBarLength(hero.hp, hero.maxHp));
}

void CountDownHp(int n) {
    SetCursor(panelColumn + 11, kHpLineRow);
    SetBright();
    // An HP already at 0 or below is not lowered further: the number would go
    // negative (and wrap at the bottom of its 16 bits).
    for (int i = 0; i < n && hero.hp > 0; ++i) {
        hero.hp = static_cast<int16_t>(hero.hp - 1);
        WriteText("%d ", static_cast<int>(hero.hp));  // the blank clears a digit a shorter number leaves
        SetNormal();
        RedrawHpBar();
        SetBright();
        if (hero.hp == 0) break;
        SetCursor(panelColumn + 11, kHpLineRow);
        Sleep(20);
    }
    SetNormal();
}

void DrawBoostSeparators() {
    SetNormal();
    for (int row = 0; row < kBoostRows; ++row) {
        SetCursor(panelColumn + 3, kBoostTopRow + row);
        WriteText("+");
        Sleep(10);
    }
}

void DrawBoostBar(int turns, int row) {
    if (row < 0 || row >= kBoostRows) return;
    SetNormal();
    SetCursor(panelColumn + 4, kBoostTopRow + row);
    WriteBlanks(kBarWidth);
    SetCursor(panelColumn + 4, kBoostTopRow + row);
    if (turns == kBoostStartTurns) {
        for (int i = 0; i < kBarWidth; ++i) {
            WriteText("-");
            Sleep(5);
        }
        return;
    }
    WriteDashes(BoostBarLength(turns));
}
