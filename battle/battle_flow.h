// One battle from its start to victory, escape or defeat: the battle screen,
// the command menu (fight, defend, item, flee) and the closing message.
#pragma once

#include "records/records.h"

// Runs a battle against count instances (1 to 7) of the kind; returns 0 once
// it is over, whatever its outcome.
int RunBattle(EnemyKind& kind, int count);

// Reads and carries out commands until the battle ends: kOutcomeNone (fled),
// kOutcomeWon or kOutcomeHeroFell.
int BattleCommandLoop(EnemyKind& kind);
