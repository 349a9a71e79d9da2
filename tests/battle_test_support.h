// A plain hero, enemy kind and abilities for the battle tests, so that each
// test states only what it changes.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "records/records.h"

// "Hero" at level 1: 40 of 40 HP, the attack and defense given (also as the
// saved values), magic defense 5, speed 10, and the next level's threshold.
void SetUpPlainHero(uint16_t attack, uint16_t defense, uint32_t nextLevelExp);

// A kind that never dodges (speed 0), magic defense 1, its target on instance
// 1, every HP slot at slotHp.
void SetUpPlainKind(EnemyKind& kind, const char* name, const char* glyph, uint16_t kindNo, uint16_t maxHp,
                    uint16_t defense, int16_t slotHp);

// The five abilities "Cut", "Flame", "Spin", "Hell", "Obey", each of rate 1 and power 0.
void SetUpPlainAbilities();

// Queues key codes `gap` virtual milliseconds apart after `due` (which moves on),
// so that none of them arrives while a message is being typed.
void TypeApart(long long& due, std::initializer_list<int> codes, long long gap);
