#include "console/console.h"
#include "console/fatal_stop.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "game/game.h"
#include "records/records.h"

// A missing (or empty, or numberless) hero, enemy or ability file would leave zero-filled
// records that the battle formulas divide by; it stops the game like a missing
// map file.
void LoadGame() {
    if (!LoadHeroStatus()) FatalFileError();
    if (!LoadEnemyKinds()) FatalFileError();
    if (!LoadAbilities()) FatalFileError();
    LoadWorldMap(worldNumber);
    // The walk test and the drawing rely on the hero standing wholly on the screen.
    MapErrors errors{};
    FindHeroStartErrors(errors);
    StopOnMapErrors(errors);
    LoadPlacements(worldNumber);
}

void StartGame() {
    LoadGame();
    SetCursor(0, 0);
    DrawFieldScreen();
}
