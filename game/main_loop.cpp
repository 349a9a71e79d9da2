#include "console/console.h"
#include "field/field_screen.h"
#include "field/world_map.h"
#include "game/game.h"

uint16_t worldNumber = 1;

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
    if (KeyWaiting()) MoveHero(ReadKey());
    // The roaming enemies of the current screen take their steps here, each
    // followed by one more waiting key for the hero.
}

void MainLoop() {
    for (;;) MainLoopPass();
}
