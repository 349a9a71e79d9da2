// What the scripted player expects of a battle, from the formulas' averages:
// which ability strikes hardest, how much HP a group will cost, whether it can
// be beaten, what it is worth.
#pragma once

#include "records/records.h"

// Chance that an attacker of speed s with an ability of power p hits a
// defender of speed d.
double HitChance(int d, int s, int p);

// The listed ability with the most damage to expect per attack, hits and
// misses together, against an instance whose HP slot holds slotHp: damage
// beyond what fells it counts for nothing, so against a slot at 0 or below
// (it falls at any hit) the surest ability is the strongest.
int StrongestAbility(const EnemyKind& kind, int slotHp);

// The HP the hero can expect to lose while felling `standing` instances of the
// kind, their HP slots as they are now.
double ExpectedLoss(const EnemyKind& kind, int standing);

// The HP one attack of an instance of the kind can be expected to take.
double EnemyHitDamage(const EnemyKind& kind);

// ExpectedLoss with the hero's attack and defense raised for the whole battle.
double ExpectedLossBoosted(const EnemyKind& kind, int standing, int attackBonus, int defenseBonus);

// The same against instances whose HP slots are all whole.
double ExpectedLossWhole(const EnemyKind& kind, int standing);

// The chance that one flight from `standing` instances of the kind gets away.
double FleeChance(const EnemyKind& kind, int standing);

// Whether a group can be beaten with the HP at hand and a few potions.
bool CanBeat(const EnemyKind& kind, int standing, int hp);

// The experience to expect from a group of `count`.
double ExperienceOf(const EnemyKind& kind, int count);
