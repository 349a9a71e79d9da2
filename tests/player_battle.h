// The scripted player in battle: the key it presses in each of the battle's
// windows, and the notes it keeps of each battle (its kind and group, the
// flights and items it took, its outcome).
#pragma once

#include "records/records.h"
#include "tests/scripted_player.h"

// The key the player presses now in the battle against the kind.
int BattleKey(ScriptedPlayer& player, const EnemyKind& kind);

// The kind of the battle in progress (kPawn to kRook): the one whose glyph the
// enemy view shows.
int KindInView();

// Notes of the battle in progress: at the player's first poll inside it, at
// every poll, and at the first poll after it, once the watch has counted its
// outcome.
void BattleBegins(ScriptedPlayer& player);
void NoteFailedFlight(ScriptedPlayer& player);
void BattleEnds(ScriptedPlayer& player);
