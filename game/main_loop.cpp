#include "console/console.h"
#include "field/field_screen.h"
#include "field/roaming_enemies.h"
#include "field/world_map.h"
#include "game/game.h"
#include "game/saving.h"

void RemoveRoamingEnemy(int index) {
    if (index < 0 || index >= roamingCount) return;
    RoamingEnemy& gone = roamingEnemies[index];
    SetCursor(gone.x, gone.y);
    WriteLine("  ");
    gone = RoamingEnemy{0, 0, 0, 0};
    roamingCount -= 1;
    for (int j = index; j < roamingCount; ++j) roamingEnemies[j] = roamingEnemies[j + 1];
}

void ClearConsole() {
    SetCursor(0, 0);
    for (int i = 0; i < 30; ++i) WriteText("%78s", "");
}

void MainLoopPass() {
    // When no figure has a step to take (none on the screen, or each on the
    // hero's own cell) only a key can change anything: the pass waits for it
    // in ReadKey instead of polling.
    if (!AnyFigureHasAStep()) {
        MoveHero(ReadKey());
    } else if (KeyWaiting()) {
        MoveHero(ReadKey());
    }
    // Each live figure steps toward the hero; the count is read anew at every
    // test, since a figure that fought the hero leaves the table.
    for (int i = 0; i < roamingCount; ++i) {
        RoamingEnemy& enemy = roamingEnemies[i];
        if (StepRoamingEnemy(enemy.kind, enemy.x, enemy.y, enemy.groupSize) == kEnemyFoughtHero) {
            RemoveRoamingEnemy(i);
            ClearConsole();
            SetCursor(0, 0);
            DrawFieldScreen();
            SaveAtSafePoint();  // the battle is over, whatever its outcome
        }
        if (KeyWaiting()) MoveHero(ReadKey());
    }
}

void MainLoop() {
    for (;;) MainLoopPass();
}
