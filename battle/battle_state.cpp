#include "battle/battle_state.h"

#include <initializer_list>

BattleState battleState;
BoostSlot attackBoosts[kBoostSlots] = {{kBoostFree, 0, false}, {kBoostFree, 0, false}, {kBoostFree, 0, false}};
BoostSlot defenseBoosts[kBoostSlots] = {{kBoostFree, 0, false}, {kBoostFree, 0, false}, {kBoostFree, 0, false}};
uint16_t boostRowUsed[kBoostSlots];
uint16_t activeBoostCount;
int16_t menuTop;
HeroStatus levelUpSnapshot;
uint32_t expGained;

void ResetBattleState() { battleState = BattleState{}; }

bool BattleUnderWay() { return battleState.enemiesLeft > 0 || battleState.defeatedCount > 0; }

void ResetBoosts() {
    for (int i = 0; i < kBoostSlots; ++i) {
        attackBoosts[i] = BoostSlot{kBoostFree, 0, false};
        defenseBoosts[i] = BoostSlot{kBoostFree, 0, false};
        boostRowUsed[i] = 0;
    }
    activeBoostCount = 0;
}

void MarkBoostsCarriedOver() {
    for (int i = 0; i < kBoostSlots; ++i) {
        attackBoosts[i].startedThisBattle = false;
        defenseBoosts[i].startedThisBattle = false;
    }
}

void RetireBoostsOfThisBattle() {
    for (BoostSlot* slots : {attackBoosts, defenseBoosts}) {
        for (int i = 0; i < kBoostSlots; ++i) {
            BoostSlot& slot = slots[i];
            if (slot.turnsLeft == kBoostFree || !slot.startedThisBattle) continue;
            if (slot.row < kBoostSlots) boostRowUsed[slot.row] = 0;
            slot = BoostSlot{kBoostFree, 0, false};
            if (activeBoostCount > 0) activeBoostCount -= 1;
        }
    }
}
