#include "game/game_state.h"

#include <cstring>

#include "battle/battle_state.h"
#include "battle/formulas.h"
#include "console/console.h"
#include "console/message_log.h"
#include "field/map_files.h"
#include "field/world_map.h"
#include "game/game.h"
#include "records/records.h"
#include "game/saving.h"
#include "platform/journal.h"

void ResetGameState() {
    ClearRecords();
    worldNumber = 1;
    std::memset(&worldMap, 0, sizeof worldMap);
    queenSpot = ScreenSpot{0, 0, 0};
    kingSpot = ScreenSpot{0, 0, 0};
    gateSpot = ScreenSpot{0, 0, 0};
    for (RoamingEnemy& entry : roamingEnemies) entry = RoamingEnemy{0, 0, 0, 0};
    roamingCount = 0;
    roamingEnemiesOff = false;
    ResetBattleState();
    ResetBoosts();
    menuTop = 0;
    std::memset(&levelUpSnapshot, 0, sizeof levelUpSnapshot);
    expGained = 0;
    randState = 1;
    ResetMessageLog();
    consoleCursor = ConsoleCursor{0, 0};
    textAttribute = 0;
    panelColumn = 1;
    viewColumn = 25;
    ResetSaving();
    ResetJournal();
}
