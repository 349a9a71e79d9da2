#include "console/enemy_view.h"

#include <cstring>
#include <string>

#include "console/battle_screen.h"
#include "console/console.h"
#include "console/texts.h"

namespace {

// Instance places for each group size, in reading order: upper row left to
// right, then the middle, then the lower row.
const InstancePlace kInstancePlaces[kMaxGroupSize][kMaxGroupSize] = {
    {{11, 3}},
    {{9, 3}, {13, 3}},
    {{9, 2}, {13, 2}, {11, 4}},
    {{9, 2}, {13, 2}, {9, 4}, {13, 4}},
    {{8, 2}, {14, 2}, {11, 3}, {8, 4}, {14, 4}},
    {{7, 2}, {11, 2}, {15, 2}, {7, 4}, {11, 4}, {15, 4}},
    {{5, 2}, {9, 2}, {13, 2}, {17, 2}, {7, 4}, {11, 4}, {15, 4}},
};

// The arrangement's glyphs are two columns wide.
constexpr int kGlyphWidth = 2;

// Banner area under the enemy view.
constexpr int kSelectionRow = 7;
constexpr int kBannerTopRow = 8;
constexpr int kBannerMiddleRow = 9;
constexpr int kBannerBottomRow = 10;
constexpr int kBannerSlideFrames = 10;
constexpr int kSelectionSlideFrames = 8;
constexpr int kSelectionWidth = 26;

// The console is 80 columns wide.
constexpr int kConsoleWidth = 80;

// The level-up window's frame.
constexpr int kWindowBottomRow = 10;
constexpr int kWindowRightSide = 53;

void WriteBlanks(int count) { WriteText("%s", std::string(static_cast<std::size_t>(count), ' ').c_str()); }

void WriteFullWidthBlanks(int count) {
    for (int i = 0; i < count; ++i) WriteText("%s", kTextFullWidthBlank);
}

// A name field's bytes up to its zero, never past the field's end.
std::string FieldText(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

void DrawBannerFrame(const char* middle) {
    int v = viewColumn;
    SetCursor(v + 3, kBannerTopRow);
    WriteText("%s", kTextBannerTop);
    SetCursor(v + 1, kBannerMiddleRow);
    WriteText("%s", middle);
    SetCursor(v + 1, kBannerBottomRow);
    WriteText("%s", kTextBannerBottom);
}

// Draws the banner nine columns right of rest, then one column further left each
// frame, erasing every frame but the last; viewColumn is back at rest afterwards.
template <typename DrawBanner>
void SlideBanner(DrawBanner drawBanner) {
    const int16_t rest = viewColumn;
    viewColumn = static_cast<int16_t>(rest + kBannerSlideFrames - 1);
    for (int frame = 0; frame < kBannerSlideFrames; ++frame) {
        drawBanner();
        Sleep(1);
        if (frame != kBannerSlideFrames - 1) EraseBanner();
        viewColumn = static_cast<int16_t>(viewColumn - 1);
    }
    viewColumn = rest;
}

}  // namespace

bool InstancePosition(int groupSize, int instance, InstancePlace& place) {
    if (groupSize < 1 || groupSize > kMaxGroupSize) return false;
    if (instance < 1 || instance > groupSize) return false;
    place = kInstancePlaces[groupSize - 1][instance - 1];
    return true;
}

void DrawEnemyGroup(const EnemyKind& kind, int groupSize) {
    if (groupSize < 1 || groupSize > kMaxGroupSize) return;
    const std::string glyph = FieldText(kind.glyph, sizeof kind.glyph);
    const InstancePlace* places = kInstancePlaces[groupSize - 1];
    for (int i = 0; i < groupSize; ++i) {
        // Each glyph at its own place, so that a glyph of another width does not
        // shift its neighbours; the blanks between neighbours of a row are
        // written too, as if the row were written in one piece.
        SetCursor(viewColumn + places[i].column, places[i].row);
        WriteText("%s", glyph.c_str());
        if (i + 1 < groupSize && places[i + 1].row == places[i].row) {
            WriteBlanks(places[i + 1].column - places[i].column - kGlyphWidth);
        }
    }
}

void EraseEnemyInstance(const EnemyKind& kind, int groupSize) {
    InstancePlace place;
    if (!InstancePosition(groupSize, kind.target, place)) return;
    SetCursor(viewColumn + place.column, place.row);
    WriteText("  ");
}

void DrawKindBanner(const EnemyKind& kind) {
    DrawBannerFrame(kTextBannerMiddle);
    int offset;
    switch (kind.kindNo) {
        case 1: case 2: case 4: case 6: offset = 9; break;
        case 5: offset = 8; break;
        case 3: offset = 7; break;
        default: return;  // an unknown kind shows the frame alone
    }
    SetCursor(viewColumn + offset, kBannerMiddleRow);
    WriteText("%s", FieldText(kind.name, sizeof kind.name).c_str());
}

void DrawAttackBanner() {
    DrawBannerFrame(kTextBannerMiddle);
    SetCursor(viewColumn + 8, kBannerMiddleRow);
    WriteText("%s", kTextEnemyAttackBanner);
}

void DrawHeroBanner(const HeroStatus& status) {
    DrawBannerFrame(kTextHeroBannerMiddle);
    const std::string name = FieldText(status.name, sizeof status.name);
    // Centred on column V + 11; a name wider than the banner starts at V at most.
    int half = static_cast<int>(name.size() / 2);
    if (half > 11) half = 11;
    SetCursor(viewColumn + 11 - half, kBannerMiddleRow);
    WriteText("%s", name.c_str());
}

void EraseBanner() {
    int v = viewColumn;
    SetCursor(v + 3, kBannerTopRow);
    WriteBlanks(20);
    SetCursor(v + 1, kBannerMiddleRow);
    WriteFullWidthBlanks(12);
    SetCursor(v + 1, kBannerBottomRow);
    WriteFullWidthBlanks(10);
}

void SlideKindBanner(const EnemyKind& kind) {
    SlideBanner([&kind] { DrawKindBanner(kind); });
}

void SlideAttackBanner() { SlideBanner(DrawAttackBanner); }

void SlideHeroBanner(const HeroStatus& status) {
    SlideBanner([&status] { DrawHeroBanner(status); });
}

void SlideSelectionBanner() {
    SetCursor(viewColumn + 6, kSelectionRow);
    for (int frame = 0; frame < kSelectionSlideFrames; ++frame) {
        WriteText("%s", kTextSelectionBanner);
        Sleep(1);
        // Blanks after the banner clear the column the previous frame left
        // behind; they stop at the row's end rather than wrap onto the next row.
        int after = consoleCursor.X + kSelectionWidth;
        int room = kConsoleWidth - after;
        WriteBlanks(room < kSelectionWidth ? (room > 0 ? room : 0) : kSelectionWidth);
        SetCursor(consoleCursor.X - 1, kSelectionRow);
    }
}

void EraseSelectionBanner() {
    SetCursor(viewColumn - 1, kSelectionRow);
    WriteBlanks(kSelectionWidth);
}

void ClearViewArea() {
    for (int row = 0; row <= kWindowBottomRow; ++row) {
        SetCursor(viewColumn, row);
        WriteBlanks(kWindowRightSide);
    }
}

void DrawLevelUpFrame(const HeroStatus& status) {
    DrawFrameMarks(0, kTextUnderline);
    SetCursor(viewColumn + 6, 0);
    WriteText("%s - LEVEL UP + STATUS UP -", FieldText(status.name, sizeof status.name).c_str());
    DrawFrameSides(1, kWindowBottomRow);
    DrawFrameMarks(kWindowBottomRow, kTextUnderline);
}
