#include "game/trial_run.h"

#include <cstdlib>

#include "console/console.h"
#include "console/texts.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "field/world_map.h"
#include "game/game.h"
#include "platform/program.h"

bool ParseStartPlace(const char* text, TrialRun& trial) {
    long values[3];
    const char* at = text;
    for (int i = 0; i < 3; ++i) {
        if (*at < '0' || *at > '9') return false;
        char* end = nullptr;
        values[i] = std::strtol(at, &end, 10);
        if (*end != (i < 2 ? ',' : '\0')) return false;
        at = end + 1;
    }
    // The hero is two columns wide: his left cell goes up to column 58.
    if (values[0] < 1 || values[0] > kScreenCount || values[1] > kScreenColumns - 2 || values[2] > kScreenRows - 1)
        return false;
    trial.placed = true;
    trial.screen = static_cast<int>(values[0]);
    trial.column = static_cast<int>(values[1]);
    trial.row = static_cast<int>(values[2]);
    return true;
}

void BeginTrialRun(const TrialRun& trial) {
    PlatformLeaveLine(kTextTrialNotSaved);
    roamingEnemiesOff = trial.noEnemies;
    if (trial.placed) {
        hero.screenNo = static_cast<uint16_t>(trial.screen);
        hero.fieldX = static_cast<uint16_t>(trial.column);
        hero.fieldY = static_cast<uint16_t>(trial.row);
    }
    LoadPlacements(worldNumber);
    SetCursor(0, 0);
    DrawFieldScreen();
    if (trial.placed) DrawScreenFigure();
}
