#include "field/roaming_enemies.h"

#include <cstdlib>

#include "battle/battle_flow.h"
#include "console/console.h"
#include "console/texts.h"
#include "field/field_screen.h"
#include "field/world_map.h"

namespace {

constexpr int kLastFigureColumn = kScreenColumns - 2;  // a figure covers x and x + 1
constexpr int kLastRow = kScreenRows - 1;

// Where a move in a direction leads: the position changes by (dx, dy).
struct Move {
    int key;
    int dx;
    int dy;
};

constexpr Move kUp = {KeyUp, 0, -1};
constexpr Move kDown = {KeyDown, 0, 1};
constexpr Move kLeft = {KeyLeft, -2, 0};
constexpr Move kRight = {KeyRight, 2, 0};

void Encounter(int kind, int groupSize) {
    EncounterWipeIn();
    EncounterWipeOut();
    RunBattle(KindRecord(kind), groupSize);
}

int MoveEnemy(const Move& move, int kind, int32_t& x, int32_t& y, int groupSize) {
    // A figure stays within its screen. A sideways move past its edge stops at
    // the edge when the figure then touches the hero (who stands at the edge
    // beside it): the move reaches him and the battle starts. Otherwise a move
    // that would leave the screen is blocked like one into a wall.
    int newX = x + move.dx;
    int newY = y + move.dy;
    int keptX = newX < 0 ? 0 : newX > kLastFigureColumn ? kLastFigureColumn : newX;
    if (keptX != newX && TouchesHero(keptX, newY)) newX = keptX;
    if (!CheckEnemyStep(move.key, x, y) || newX < 0 || newX > kLastFigureColumn || newY < 0 || newY > kLastRow) {
        return kEnemyBlocked;
    }
    SetCursor(x, y);
    WriteLine("  ");
    if (x == 0 && y == 0) return kEnemyMoved;  // a cleared entry never moves
    x = newX;
    y = newY;
    SetCursor(x, y);
    WriteLine(KindGlyph(kind));
    if (!TouchesHero(x, y)) return kEnemyMoved;
    Encounter(kind, groupSize);
    return kEnemyFoughtHero;
}

// The wipe: 20 frames; in frame i a run of n glyphs grows from the left on row i
// and one from column 58 leftward on row 19 - i, with n = k / (2/3) for the
// frame's k.
void Wipe(const char* glyph, bool filling) {
    const double factor = 20.0 / (60.0 / 2.0);
    for (int i = 0; i < kScreenRows; ++i) {
        int k = filling ? i + 1 : 21 - i;
        int n = static_cast<int>(k / factor);
        SetCursor(0, i);
        for (int j = 0; j < n; ++j) WriteText("%s", glyph);
        SetCursor(58, kLastRow - i);
        for (int j = 0; j < n; ++j) {
            WriteText("%s", glyph);
            // Past column 0 the console refuses the placement and the next
            // glyph lands where the last one ended.
            SetCursor(consoleCursor.X - 2, consoleCursor.Y);
        }
        Sleep(30);
    }
}

}  // namespace

bool CheckEnemyStep(int key, int x, int y) {
    int screen = hero.screenNo;
    switch (key) {
    case KeyUp:
        return OpenCell(screen, y - 1, x) && OpenCell(screen, y - 1, x + 1);
    case KeyDown:
        return OpenCell(screen, y + 1, x) && OpenCell(screen, y + 1, x + 1);
    case KeyLeft:
        return OpenCell(screen, y, x - 1);
    case KeyRight:
        return OpenCell(screen, y, x + 2);
    default:
        return true;
    }
}

bool TouchesHero(int x, int y) { return y == hero.fieldY && x >= hero.fieldX - 1 && x <= hero.fieldX + 1; }

int StepEnemyUp(int kind, int32_t& x, int32_t& y, int groupSize) { return MoveEnemy(kUp, kind, x, y, groupSize); }
int StepEnemyDown(int kind, int32_t& x, int32_t& y, int groupSize) { return MoveEnemy(kDown, kind, x, y, groupSize); }
int StepEnemyLeft(int kind, int32_t& x, int32_t& y, int groupSize) { return MoveEnemy(kLeft, kind, x, y, groupSize); }
int StepEnemyRight(int kind, int32_t& x, int32_t& y, int groupSize) {
    return MoveEnemy(kRight, kind, x, y, groupSize);
}

bool EnemyPause() {
    int screen = hero.screenNo;
    for (int round = 0; round < 13; ++round) {
        if (KeyWaiting()) MoveHero(ReadKey());
        Sleep(10);
    }
    return hero.screenNo == screen;
}

bool FigureHasAStep(int32_t x, int32_t y) {
    return static_cast<int16_t>(x - hero.fieldX) != 0 || static_cast<int16_t>(y - hero.fieldY) != 0;
}

bool AnyFigureHasAStep() {
    for (int i = 0; i < roamingCount; ++i) {
        if (FigureHasAStep(roamingEnemies[i].x, roamingEnemies[i].y)) return true;
    }
    return false;
}

int StepRoamingEnemy(int kind, int32_t& x, int32_t& y, int groupSize) {
    // The distances at the start of the step decide both moves.
    const int16_t dx = static_cast<int16_t>(x - hero.fieldX);
    const int16_t dy = static_cast<int16_t>(y - hero.fieldY);
    if (dx != 0) {
        if (!EnemyPause()) return kEnemyMoved;
        int result = dx > 0 ? StepEnemyLeft(kind, x, y, groupSize) : StepEnemyRight(kind, x, y, groupSize);
        if (result == kEnemyBlocked && dy != 0) {
            result = dy > 0 ? StepEnemyUp(kind, x, y, groupSize) : StepEnemyDown(kind, x, y, groupSize);
        }
        if (result == kEnemyFoughtHero) return result;
    }
    if (dy == 0) return kEnemyMoved;
    // A vertical move follows when the vertical distance is at least half the
    // horizontal one (rounded toward zero), or when there is no horizontal one.
    const int h = dx / 2;
    const bool vertical = dx == 0 || (h != 0 && std::abs(dy) >= std::abs(h));
    if (!vertical) return kEnemyMoved;
    if (!EnemyPause()) return kEnemyMoved;
    int result = dy > 0 ? StepEnemyUp(kind, x, y, groupSize) : StepEnemyDown(kind, x, y, groupSize);
    if (result == kEnemyBlocked && dx != 0) {
        result = dx > 0 ? StepEnemyLeft(kind, x, y, groupSize) : StepEnemyRight(kind, x, y, groupSize);
    }
    return result == kEnemyFoughtHero ? result : kEnemyMoved;
}

void EncounterWipeIn() { Wipe(kTextWipeBlock, true); }

void EncounterWipeOut() { Wipe("  ", false); }
