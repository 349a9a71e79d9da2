// Every number a battle computes: damage on both sides, the evade and flee
// tests, the experience award, the next level's threshold and the growth of
// the hero's statistics, all drawing on one pseudo-random generator.
#pragma once

#include <cstdint>

#include "records/records.h"

// The generator's state: state * 214013 + 2531011 (mod 2^32) at each draw.
extern uint32_t randState;

// Sets the state to a number of seconds (its low 32 bits).
void SeedRand(long long seconds);
// The next number, 0..32767.
int Rand();

// Damage of the hero's ability on one instance of the kind (one draw). It may
// be 0 or negative; nothing here clamps it.
int16_t ComputeHeroDamage(const HeroStatus& hero, const EnemyKind& kind, const AbilityInfo& ability);
// Damage of the kind's ability on the hero (one draw); the same shape, with the
// hero's level and experience scaled by two thirds.
int16_t ComputeEnemyDamage(const HeroStatus& hero, const EnemyKind& kind, const AbilityInfo& ability);

// 1 when the defender (speed d) dodges an attacker of speed s using an ability
// of power p, 0 on a hit (a tie is a hit). Two draws: the dodge, then the aim.
int IsAttackEvaded(int16_t d, int16_t s, int16_t p);

// The pursuit value b the flee test weighs against the hero's speed: the kind's
// speed times three quarters of the standing instances, low 16 bits.
int16_t FleePursuitValue(uint16_t enemySpeed, int16_t enemiesLeft);
// 1 when the hero (speed a, level from the global hero) outruns a pursuit of b,
// 0 when caught (a tie is caught). Two draws: the run, then the chase.
int FleeSucceeds(int16_t a, int16_t b);

// Experience for one defeated instance of the kind (one draw).
uint16_t ComputeExpAward(const EnemyKind& kind);

// The experience needed for the next level, from the grown statistics and the
// new level, rounded to tens or hundreds. It is 0 when the statistic sum times
// the level is a multiple of 65536: a caller looping "while exp >= threshold"
// must bound that loop itself.
void UpdateNextLevelExp(HeroStatus& hero);

// One level's growth of the six statistics (twelve draws). Reads exp and the
// threshold just reached, so call it before either changes.
void GrowStats(HeroStatus& hero);
