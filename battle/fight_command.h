// The fight command: choosing the target among the standing instances, then
// the ability list.
#pragma once

#include "records/records.h"

// The target choice; kOutcomeNone (back to the command menu), kOutcomeWon or
// kOutcomeHeroFell.
int FightCommand(EnemyKind& kind);

// Move the target cursor to the instance above or below in the layout, when
// that one stands; true when it moved (the old target is redrawn plain first).
bool MoveTargetUp(EnemyKind& kind);
bool MoveTargetDown(EnemyKind& kind);

void DrawTargetHighlighted(const EnemyKind& kind, int total);
void DrawTargetPlain(const EnemyKind& kind, int total);

// The instance the up or down arrow leads to from `from` in a group of total,
// or 0 when that arrow does not move from there.
int InstanceAbove(int total, int from);
int InstanceBelow(int total, int from);
