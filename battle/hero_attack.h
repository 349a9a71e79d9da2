// The hero's attack on the targeted instance, and the victory it may bring:
// experience, level-ups and the level-up window.
#pragma once

#include <cstdint>

#include "records/records.h"

// One attack with the ability under the ability cursor. Returns kOutcomeNone
// (missed, or the target stands: the enemies answer), kOutcomeFell (an instance
// fell, others stand) or kOutcomeWon (the last one fell).
int HeroAttack(EnemyKind& kind);

// The experience a won battle brings: the award for one instance times the
// instances defeated, divided down after 40 turns, less 5 per item used; never
// below 0.
uint32_t BattleExperience(uint16_t award, int defeated, int turns, int itemsUsed);

// Raises the level while the experience reaches the threshold, growing the
// statistics each time.
void GainLevels();
