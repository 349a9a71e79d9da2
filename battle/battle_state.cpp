#include "battle/battle_state.h"

BattleState battleState;
BoostSlot attackBoosts[kBoostSlots] = {{kBoostFree, 0}, {kBoostFree, 0}, {kBoostFree, 0}};
BoostSlot defenseBoosts[kBoostSlots] = {{kBoostFree, 0}, {kBoostFree, 0}, {kBoostFree, 0}};
uint16_t boostRowUsed[kBoostSlots];
uint16_t activeBoostCount;
int16_t menuTop;
HeroStatus levelUpSnapshot;
uint32_t expGained;

void ResetBattleState() { battleState = BattleState{}; }

void ResetBoosts() {
    for (int i = 0; i < kBoostSlots; ++i) {
        attackBoosts[i] = BoostSlot{kBoostFree, 0};
        defenseBoosts[i] = BoostSlot{kBoostFree, 0};
        boostRowUsed[i] = 0;
    }
    activeBoostCount = 0;
}
