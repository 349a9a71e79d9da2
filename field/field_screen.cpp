#include "field/field_screen.h"

#include "console/console.h"
#include "console/texts.h"
#include "field/map_files.h"
#include "platform/memory_console.h"
#include "records/records.h"

namespace {

void (*screenChanged)() = nullptr;

bool InWorld(int gridRow, int gridColumn) {
    return gridRow >= 0 && gridRow < kWorldRows && gridColumn >= 0 && gridColumn < kWorldColumns;
}

// Grid cells as the scroll shows them: outside the world there is nothing to show.
unsigned char ShownCell(int gridRow, int gridColumn) {
    return InWorld(gridRow, gridColumn) ? worldMap.cells[gridRow][gridColumn] : ' ';
}

// True when the grid cell holds the second byte of a double-byte character:
// the characters of a layout row are counted from its screen's left edge.
bool IsSecondByte(int gridRow, int gridColumn) {
    if (!InWorld(gridRow, gridColumn)) return false;
    int column = gridColumn - gridColumn % kScreenColumns;
    while (column < gridColumn) column += IsLeadByte(worldMap.cells[gridRow][column]) ? 2 : 1;
    return column > gridColumn;
}

// Writes 60 grid cells of one row, from gridColumn on, and a line break. A zero
// byte from a layout file (still a wall) is shown as a blank, as the console
// shows other control bytes, so that it cannot end the written row early. A
// double-byte character cut by either edge of the frame (a sideways scroll
// an odd number of columns in) is a blank too: its lone byte would show as
// another character, or pair with the next one and shift the row.
void WriteGridRow(int gridRow, int gridColumn) {
    char row[kScreenColumns + 1];
    for (int i = 0; i < kScreenColumns; ++i) {
        unsigned char cell = ShownCell(gridRow, gridColumn + i);
        row[i] = static_cast<char>(cell == 0 ? ' ' : cell);
    }
    if (IsSecondByte(gridRow, gridColumn)) row[0] = ' ';
    int last = gridColumn + kScreenColumns - 1;
    if (IsLeadByte(static_cast<unsigned char>(row[kScreenColumns - 1])) && !IsSecondByte(gridRow, last)) {
        row[kScreenColumns - 1] = ' ';
    }
    row[kScreenColumns] = '\0';
    WriteLine(row);
}

void DrawHero() {
    SetCursor(hero.fieldX, hero.fieldY);
    WriteLine(kTextHeroGlyph);
}

void DrawRoamingEnemies() {
    for (int i = 0; i < roamingCount; ++i) {
        DrawGlyphAt(KindGlyph(roamingEnemies[i].kind), roamingEnemies[i].x, roamingEnemies[i].y);
    }
}

}  // namespace

unsigned char ScreenCell(int screen, int row, int column) {
    int gridRow = ScreenRowOrigin(screen) + row;
    int gridColumn = ScreenColumnOrigin(screen) + column;
    return InWorld(gridRow, gridColumn) ? worldMap.cells[gridRow][gridColumn] : '#';
}

bool OpenCell(int screen, int row, int column) { return ScreenCell(screen, row, column) == ' '; }

StepResult CheckStepAt(int screen, int x, int y, int key) {
    switch (key) {
    case KeyUp:
        if (!OpenCell(screen, y - 1, x) || !OpenCell(screen, y - 1, x + 1)) return kStepBlocked;
        return y == 0 ? kStepLeave : kStepFull;
    case KeyDown:
        if (!OpenCell(screen, y + 1, x) || !OpenCell(screen, y + 1, x + 1)) return kStepBlocked;
        return y == kScreenRows - 1 ? kStepLeave : kStepFull;
    case KeyLeft:
        if (!OpenCell(screen, y, x - 1)) return kStepBlocked;
        if (!OpenCell(screen, y, x - 2) || x == 1) {
            // From column 0 a one-column step would leave the screen without
            // entering the neighbour, whose column 58 is taken: blocked.
            return x == 0 ? kStepBlocked : kStepOneColumn;
        }
        return x == 0 ? kStepLeave : kStepFull;
    case KeyRight:
        if (!OpenCell(screen, y, x + 2)) return kStepBlocked;
        // Column 58 is reached only by a one-column step; from there the next
        // open column is the neighbour's column 0, so the hero passes on.
        if (x >= kScreenColumns - 2) return kStepLeave;
        if (!OpenCell(screen, y, x + 3) || x == kScreenColumns - 4) return kStepOneColumn;
        return x == kScreenColumns - 3 ? kStepLeave : kStepFull;
    default:
        return kStepFull;
    }
}

StepResult CheckHeroStep(int key) { return CheckStepAt(hero.screenNo, hero.fieldX, hero.fieldY, key); }

void DrawGlyphAt(const char* glyph, int x, int y) {
    SetCursor(x, y);
    WriteText("%s", glyph);
}

void DrawFieldScreen() {
    ShowKeyHint(kTextHintField);
    SetCursor(0, 0);
    const int top = ScreenRowOrigin(hero.screenNo);
    const int left = ScreenColumnOrigin(hero.screenNo);
    for (int row = 0; row < kScreenRows; ++row) WriteGridRow(top + row, left);
    DrawRoamingEnemies();
    SetCursor(hero.fieldX, hero.fieldY);
    WriteText("%s", kTextHeroGlyph);
}

void MoveHero(int key) {
    StepResult result = CheckHeroStep(key);
    if (result == kStepBlocked) return;
    SetCursor(hero.fieldX, hero.fieldY);
    WriteLine("  ");
    switch (key) {
    case KeyUp:
        if (result == kStepLeave) return ChangeScreen(key);
        hero.fieldY -= 1;
        break;
    case KeyDown:
        if (result == kStepLeave) return ChangeScreen(key);
        hero.fieldY += 1;
        break;
    case KeyLeft:
        if (result == kStepLeave) return ChangeScreen(key);
        hero.fieldX -= (result == kStepOneColumn) ? 1 : 2;
        break;
    case KeyRight:
        if (result == kStepLeave) return ChangeScreen(key);
        hero.fieldX += (result == kStepOneColumn) ? 1 : 2;
        break;
    default:
        break;
    }
    DrawHero();
}

void DrawScrollFrameH(int offset) {
    const int top = ScreenRowOrigin(hero.screenNo);
    const int left = ScreenColumnOrigin(hero.screenNo);
    for (int row = 0; row < kScreenRows; ++row) WriteGridRow(top + row, left + offset);
}

void DrawScrollFrameV(int offset) {
    const int top = ScreenRowOrigin(hero.screenNo);
    const int left = ScreenColumnOrigin(hero.screenNo);
    for (int row = 0; row < kScreenRows; ++row) WriteGridRow(top + offset + row, left);
    SetCursor(0, kScreenRows);
    WriteText("%60s", "");
}

void ChangeScreen(int key) {
    // The scroll starts from the old screen, one column or row into the new one,
    // and ends on the new screen.
    const bool horizontal = (key == KeyRight || key == KeyLeft);
    const int span = horizontal ? kScreenColumns - 1 : kScreenRows - 1;
    const int sign = (key == KeyRight || key == KeyDown) ? -1 : 1;
    switch (key) {
    case KeyRight: hero.screenNo += 1; break;
    case KeyLeft: hero.screenNo -= 1; break;
    case KeyDown: hero.screenNo += 3; break;
    case KeyUp: hero.screenNo -= 3; break;
    default: return;
    }
    // The hero's place on the new screen is set with the screen itself, before
    // the scroll (which does not show him), so that the game is whole at every
    // moment of it: a quit during the scroll saves it as it is.
    switch (key) {
    case KeyRight: hero.fieldX = 0; break;
    case KeyLeft: hero.fieldX = kScreenColumns - 3; break;
    case KeyDown: hero.fieldY = 0; break;
    case KeyUp: hero.fieldY = kScreenRows - 1; break;
    }
    LoadPlacements(worldNumber);
    SetCursor(0, 0);
    for (int step = span; step >= 0; --step) {
        if (horizontal) DrawScrollFrameH(sign * step);
        else DrawScrollFrameV(sign * step);
        SetCursor(0, 0);
        ShowFrame();
    }
    DrawHero();
    DrawRoamingEnemies();
    DrawScreenFigure();
    if (screenChanged) screenChanged();
}

void OnScreenChanged(void (*hook)()) { screenChanged = hook; }

void DrawScreenFigure() {
    if (hero.screenNo == queenSpot.screen) {
        DrawStandingFigure(enemyKinds[kQueen].glyph, queenSpot);
    } else if (hero.screenNo == kingSpot.screen) {
        DrawStandingFigure(enemyKinds[kKing].glyph, kingSpot);
    }
}

void DrawStandingFigure(const char* glyph, const ScreenSpot& spot) {
    SetCursor(spot.column - 1, spot.row - 1);
    SetNormal();
    SetBright();
    WriteText("%s", glyph);
    SetNormal();
    OpenGate();
}

bool GateIsOpen() {
    const int top = ScreenRowOrigin(gateSpot.screen);
    const int left = ScreenColumnOrigin(gateSpot.screen);
    for (int row = 0; row < 2; ++row) {
        for (int column = gateSpot.column - 1; column <= gateSpot.column + 8; ++column) {
            if (InWorld(top + row, left + column) && worldMap.cells[top + row][left + column] != ' ') return false;
        }
    }
    return true;
}

void OpenGate() {
    const int top = ScreenRowOrigin(gateSpot.screen);
    const int left = ScreenColumnOrigin(gateSpot.screen);
    for (int row = 0; row < 2; ++row) {
        for (int column = gateSpot.column - 1; column <= gateSpot.column + 8; ++column) {
            if (InWorld(top + row, left + column)) worldMap.cells[top + row][left + column] = ' ';
        }
    }
}
