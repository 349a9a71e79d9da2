#include "battle/boosts.h"

#include <cstdint>

#include "battle/battle_state.h"
#include "console/battle_screen.h"
#include "console/console.h"
#include "console/message_log.h"
#include "console/texts.h"
#include "records/records.h"

namespace {

// What tells the two kinds of boost apart.
struct BoostKind {
    BoostSlot* slots;
    uint16_t* statistic;
    uint16_t* saved;  // the statistic as the battle in progress saved it
    const char* marker;
    const char* wornOff;
};

BoostKind AttackKind() { return BoostKind{attackBoosts, &hero.attack, &hero.savedAttack, "SA", kTextProteinWornOff}; }
BoostKind DefenseKind() {
    return BoostKind{defenseBoosts, &hero.defense, &hero.savedDefense, "SD", kTextBucklerWornOff};
}

// Index of the first slot with the given turns left, or -1.
int FindSlot(const BoostKind& kind, int16_t turnsLeft) {
    for (int i = 0; i < kBoostSlots; ++i) {
        if (kind.slots[i].turnsLeft == turnsLeft) return i;
    }
    return -1;
}

int FindFreeRow() {
    for (int i = 0; i < kBoostSlots; ++i) {
        if (boostRowUsed[i] == 0) return i;
    }
    return -1;
}

bool Room(const BoostKind& kind) { return FindSlot(kind, kBoostFree) >= 0 && FindFreeRow() >= 0; }

void Start(const BoostKind& kind) {
    int index = FindSlot(kind, kBoostFree);
    int row = FindFreeRow();
    if (index < 0 || row < 0) return;
    BoostSlot& slot = kind.slots[index];
    *kind.statistic = static_cast<uint16_t>(*kind.statistic + kBoostBonus);
    slot.turnsLeft = kBoostTurns;
    slot.row = static_cast<uint16_t>(row);
    slot.startedThisBattle = true;  // its bonus is not in the statistics this battle saved
    SetCursor(panelColumn, kBoostTopRow + row);
    SetBright();
    WriteText("%s", kind.marker);
    SetNormal();
    boostRowUsed[row] = 1;
}

void Expire(const BoostKind& kind) {
    int index = FindSlot(kind, 0);
    if (index < 0) return;
    BoostSlot& slot = kind.slots[index];
    *kind.statistic = static_cast<uint16_t>(*kind.statistic - kBoostBonus);
    // A boost carried over from an earlier battle has its bonus in the value
    // this battle saved too; it comes off there as well, or a victory, which
    // restores the saved value, would give it back for good.
    if (!slot.startedThisBattle) *kind.saved = static_cast<uint16_t>(*kind.saved - kBoostBonus);
    if (slot.row < kBoostSlots) {
        boostRowUsed[slot.row] = 0;
        SetCursor(panelColumn, kBoostTopRow + slot.row);
        WriteText("  ");
    }
    slot = BoostSlot{kBoostFree, 0, false};
    if (activeBoostCount > 0) activeBoostCount -= 1;
}

void Tick(const BoostKind& kind) {
    for (int i = kBoostSlots - 1; i >= 0; --i) {
        BoostSlot& slot = kind.slots[i];
        if (slot.turnsLeft == kBoostFree) continue;
        slot.turnsLeft = static_cast<int16_t>(slot.turnsLeft - 1);
        DrawBoostBar(slot.turnsLeft, slot.row);
        if (slot.turnsLeft == 0) {
            Expire(kind);
            ShowMessage(kind.wornOff);
        }
    }
}

}  // namespace

bool AttackBoostRoom() { return Room(AttackKind()); }
bool DefenseBoostRoom() { return Room(DefenseKind()); }

void StartAttackBoost() { Start(AttackKind()); }
void StartDefenseBoost() { Start(DefenseKind()); }
void ExpireAttackBoost() { Expire(AttackKind()); }
void ExpireDefenseBoost() { Expire(DefenseKind()); }
void TickAttackBoosts() { Tick(AttackKind()); }
void TickDefenseBoosts() { Tick(DefenseKind()); }

void TickBoosts() {
    TickAttackBoosts();
    TickDefenseBoosts();
}
