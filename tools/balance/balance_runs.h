// The balance run's plays on the headless backend: journeys of the scripted
// player through the shipped world from its start, and the groups of one
// screen fought in turn from a moment of a journey.
#pragma once

#include <string>
#include <vector>

#include "battle/battle_state.h"
#include "field/world_map.h"
#include "records/records.h"
#include "tests/scripted_player.h"

// What a battle reads of the game besides the data files: the hero, the enemy
// kinds with their instance HP, the boosts in force.
struct GameSnapshot {
    bool taken = false;
    HeroStatus hero;
    EnemyKind kinds[kEnemyKindCount];
    BoostSlot attackBoosts[kBoostSlots];
    BoostSlot defenseBoosts[kBoostSlots];
    uint16_t boostRowUsed[kBoostSlots];
    uint16_t activeBoostCount;
};

GameSnapshot TakeSnapshot();
void RestoreSnapshot(const GameSnapshot& snapshot);

struct PlayStyle {
    std::string dataRoot;  // the data tree played
    long long keyIntervalMs = 400;
    bool useItems = true;
    int fleeFirst = 0;  // tries to flee this many times in each battle first
};

constexpr int kTrackedLevels = 40;

struct Journey {
    long long arrivalMs[kScreenCount + 1];    // the first poll on each screen; -1: never
    int arrivalLevel[kScreenCount + 1];
    GameSnapshot atArrival[kScreenCount + 1];
    long long levelMs[kTrackedLevels + 1];     // the first poll at each level; -1: never
    GameSnapshot atLevel[kTrackedLevels + 1];
    long long fifthAbilityMs = -1;             // the ability list first shown with five lines
    long long endMs = 0;
    std::vector<PlayedBattle> battles;
    int itemsLeft[3] = {};
    std::string failure;
};

// Plays from the start until the fifth ability is listed or limitMs of virtual
// time have passed; the wall clock starts at `seconds`.
Journey PlayJourney(const PlayStyle& style, long long seconds, long long limitMs);

// Fights every group of the screen in turn, in the order of its placement file,
// as the hero and the enemy kinds stand in the snapshot. Each battle's times
// are those of its start and end.
std::vector<PlayedBattle> FightScreen(const GameSnapshot& from, int screen, const PlayStyle& style, long long seconds);
