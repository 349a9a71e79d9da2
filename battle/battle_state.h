// The state of the one battle in progress, the outcome codes that battle
// operations pass up, the timed boosts and the menu window they share.
#pragma once

#include <cstdint>

#include "records/records.h"

// What a battle operation reports to its caller.
enum BattleOutcome {
    kOutcomeNone = 0,      // nothing decided (from the command loop: the hero fled)
    kOutcomeBack = 1,      // back one step (ability list only)
    kOutcomeFell = 2,      // an instance fell and others stand
    kOutcomeWon = 3,       // the last instance fell
    kOutcomeHeroFell = 4,  // the hero's HP reached 0
};

struct BattleState {
    int16_t enemiesLeft;    // instances still standing
    int16_t turnCount;      // actions taken in this battle
    int16_t defeatedCount;  // instances defeated
    int16_t itemUseCount;   // items used (each costs 5 experience at victory)
    int16_t defeated[kInstanceSlots + 1];  // by instance number 1..7: 1 once fallen
    int16_t commandCursor;  // 0 fight, 1 defend, 2 item, 3 flee
    int16_t abilityCursor;
    int16_t itemCursor;
};

extern BattleState battleState;

// Every field back to 0, ready for the next battle.
void ResetBattleState();

// True from a battle's start until it has closed: some enemy still stands or
// has fallen in it (the state is reset as the battle closes).
bool BattleUnderWay();

// One timed boost (protein raises attack, buckler defense, by 5).
struct BoostSlot {
    int16_t turnsLeft;       // -1 free, 11 when started, 0 expiring
    uint16_t row;            // marker row 0 to 2 (console row 16 + row); 0 while free
    bool startedThisBattle;  // started after the battle in progress saved the statistics
};

constexpr int kBoostSlots = 3;
constexpr int16_t kBoostFree = -1;
constexpr int16_t kBoostTurns = 11;
constexpr int kBoostBonus = 5;

extern BoostSlot attackBoosts[kBoostSlots];
extern BoostSlot defenseBoosts[kBoostSlots];
extern uint16_t boostRowUsed[kBoostSlots];
extern uint16_t activeBoostCount;

// Row offset of the item and ability windows' lines: line k stands on row
// menuTop + 2k; 0 once the window has slid in.
extern int16_t menuTop;

// The hero as he was at the moment of the last victory, before its experience,
// and the experience of the last battle that brought a level-up.
extern HeroStatus levelUpSnapshot;
extern uint32_t expGained;

// Frees every boost slot and marker row (program start; tests).
void ResetBoosts();

// At a battle's start: the boosts in force were carried over from an earlier
// battle, so the attack and defense it saves include their bonus.
void MarkBoostsCarriedOver();

// At a victory, after attack and defense were restored from the saved values:
// the boosts started in this battle have lost their bonus with the restore, so
// they end now instead of taking it away a second time when they expire. The
// boosts carried over keep running; their bonus is in the saved values.
void RetireBoostsOfThisBattle();
