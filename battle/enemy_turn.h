// The enemies' answer to a hero action: the boosts tick, each standing instance
// attacks once, the boosts tick again. An attack that brings the hero's HP to 0
// ends the turn at once with the defeat.
#pragma once

#include "records/records.h"

// The whole turn; kOutcomeHeroFell when the hero fell, otherwise kOutcomeNone.
int EnemyTurn(EnemyKind& kind);

// One attack of each standing instance (enemiesLeft read before each), without
// the ticks around them; stops at the attack that fells the hero.
int EnemiesAttack(EnemyKind& kind);

// One instance's attack: evade test, damage counted down on the HP panel, the
// messages and a wait for a confirm key; on the hero's fall "GAME OVER".
int EnemyAttack(EnemyKind& kind);
