// The ability list: as many abilities as the hero's level allows slide in at
// the right of the battle screen; confirming one attacks the chosen target.
#pragma once

#include "records/records.h"

// Lines listed at a level: 2 up to level 11, 3 from 12, 4 from 18, 5 from 25.
int AbilitiesListed(int level);

// The slide-in of the list and its title.
void OpenAbilityWindow();
void DrawAbilityName(int k);
void DrawAbilityTitle();

// Runs the list. kOutcomeNone: closed with the space bar; kOutcomeBack: closed
// with the left arrow; kOutcomeFell: the target fell and others stand;
// kOutcomeWon; kOutcomeHeroFell.
int AbilityCommand(EnemyKind& kind);
