#include "tests/game_invariants.h"

#include <cstring>
#include <sstream>

#include "battle/ability_command.h"
#include "battle/battle_state.h"
#include "console/console.h"
#include "console/message_log.h"
#include "field/world_map.h"
#include "records/records.h"

namespace {

int InForce(const BoostSlot* slots) {
    int n = 0;
    for (int i = 0; i < kBoostSlots; ++i) n += slots[i].turnsLeft != kBoostFree;
    return n;
}

std::string CheckBoosts() {
    std::ostringstream out;
    int rowsTaken[kBoostSlots] = {};
    for (const BoostSlot* slots : {attackBoosts, defenseBoosts}) {
        for (int i = 0; i < kBoostSlots; ++i) {
            const BoostSlot& slot = slots[i];
            if (slot.turnsLeft == kBoostFree) continue;
            // An expiring slot (0) is freed before anything polls.
            if (slot.turnsLeft < 1 || slot.turnsLeft > kBoostTurns) out << "boost turnsLeft " << slot.turnsLeft << "; ";
            if (slot.row >= kBoostSlots) {
                out << "boost row " << slot.row << "; ";
            } else {
                rowsTaken[slot.row] += 1;
            }
        }
    }
    int inForce = InForce(attackBoosts) + InForce(defenseBoosts);
    if (inForce > kBoostSlots) out << inForce << " boosts in force; ";
    if (activeBoostCount != inForce) out << "activeBoostCount " << activeBoostCount << " with " << inForce << " in force; ";
    for (int row = 0; row < kBoostSlots; ++row) {
        if (rowsTaken[row] > 1) out << "marker row " << row << " taken twice; ";
        if ((rowsTaken[row] == 1) != (boostRowUsed[row] == 1)) out << "boostRowUsed[" << row << "] " << boostRowUsed[row] << "; ";
    }
    return out.str();
}

bool BattleStateIsReset() {
    BattleState reset{};
    return std::memcmp(&battleState, &reset, sizeof reset) == 0;
}

// Attack and defense are their bases plus 5 per boost in force. Defending
// doubles the defense for the enemies' turn: then it is twice that, plus 5 for
// each buckler that expired during the turn (its bonus came off the doubled
// value). The bases change only across a level-up, by 1 to 3 per level.
std::string CheckStatistics(InvariantWatch& watch) {
    std::ostringstream out;
    int attackBonus = kBoostBonus * InForce(attackBoosts);
    int defenseBonus = kBoostBonus * InForce(defenseBoosts);
    int baseAttack = hero.attack - attackBonus;
    int baseDefense = hero.defense - defenseBonus;
    if (watch.inBattle && battleState.commandCursor == 1 && baseDefense != watch.baseDefense) {
        for (int expired = 0; expired <= kBoostSlots; ++expired) {
            if (hero.defense == 2 * (watch.baseDefense + defenseBonus) + kBoostBonus * expired) {
                baseDefense = watch.baseDefense;  // defending
                break;
            }
        }
    }
    if (!watch.baseKnown) {
        watch.baseKnown = true;
    } else if (hero.level != watch.level) {
        int levels = hero.level - watch.level;
        if (levels < 0 || baseAttack - watch.baseAttack < levels || baseAttack - watch.baseAttack > 3 * levels ||
            baseDefense - watch.baseDefense < levels || baseDefense - watch.baseDefense > 3 * levels) {
            out << "level " << watch.level << " -> " << hero.level << " moved the bases from " << watch.baseAttack << "/"
                << watch.baseDefense << " to " << baseAttack << "/" << baseDefense << "; ";
        }
        watch.levelUps += levels;
    } else if (baseAttack != watch.baseAttack || baseDefense != watch.baseDefense) {
        out << "attack/defense " << hero.attack << "/" << hero.defense << " with " << InForce(attackBoosts) << "/"
            << InForce(defenseBoosts) << " boosts in force: bases " << baseAttack << "/" << baseDefense << ", were "
            << watch.baseAttack << "/" << watch.baseDefense << "; ";
    }
    watch.baseAttack = baseAttack;
    watch.baseDefense = baseDefense;
    watch.level = hero.level;
    return out.str();
}

std::string CheckBattle(InvariantWatch& watch) {
    std::ostringstream out;
    bool now = InBattle();
    if (now) {
        const BattleState& s = battleState;
        int group = s.enemiesLeft + s.defeatedCount;
        if (group > kInstanceSlots || s.enemiesLeft < 0 || s.defeatedCount < 0) {
            out << "enemiesLeft " << s.enemiesLeft << " defeatedCount " << s.defeatedCount << "; ";
        }
        if (s.commandCursor < 0 || s.commandCursor > 3) out << "commandCursor " << s.commandCursor << "; ";
        if (s.abilityCursor < 0 || s.abilityCursor >= AbilitiesListed(hero.level)) {
            out << "abilityCursor " << s.abilityCursor << "; ";
        }
        if (s.itemCursor < 0 || s.itemCursor > 2) out << "itemCursor " << s.itemCursor << "; ";
        int fallen = 0;
        for (int k = 1; k <= kInstanceSlots; ++k) fallen += s.defeated[k];
        if (fallen != s.defeatedCount) out << fallen << " flags for " << s.defeatedCount << " defeated; ";
        if (!watch.inBattle) watch.battles += 1;
        watch.lastGroupSize = group;
        watch.lastDefeated = s.defeatedCount;
        watch.lastHp = hero.hp;
    } else {
        if (!BattleStateIsReset()) out << "battle state not reset outside a battle; ";
        if (watch.inBattle) {
            if (watch.lastDefeated == watch.lastGroupSize) {
                watch.won += 1;
            } else if (watch.lastHp <= 0) {
                watch.lost += 1;
            } else {
                watch.fled += 1;
            }
        }
        if (hero.exp >= hero.nextLevelExp) out << "exp " << hero.exp << " at or past " << hero.nextLevelExp << " on the field; ";
    }
    watch.inBattle = now;
    return out.str();
}

}  // namespace

bool InBattle() { return battleState.enemiesLeft + battleState.defeatedCount >= 1; }

std::string CheckAtPoll(InvariantWatch& watch) {
    std::ostringstream out;
    watch.polls += 1;
    if (hero.screenNo < 1 || hero.screenNo > kScreenCount || hero.fieldX > kScreenColumns - 2 ||
        hero.fieldY > kScreenRows - 1) {
        out << "hero at screen " << hero.screenNo << " (" << hero.fieldX << ", " << hero.fieldY << "); ";
    }
    if (hero.hp < 0 || hero.hp > hero.maxHp) out << "hp " << hero.hp << " of " << hero.maxHp << "; ";
    if (roamingCount < 0 || roamingCount > kRoamingSlots) out << "roamingCount " << roamingCount << "; ";
    for (int i = 0; i < roamingCount && i < kRoamingSlots; ++i) {
        const RoamingEnemy& e = roamingEnemies[i];
        if (e.kind < 1 || e.kind > 4 || e.groupSize < 1 || e.groupSize > kInstanceSlots || e.x < 0 ||
            e.x > kScreenColumns - 2 || e.y < 0 || e.y >= kScreenRows) {
            out << "roaming entry " << i << " kind " << e.kind << " group " << e.groupSize << " at (" << e.x << ", "
                << e.y << "); ";
        }
    }
    if (viewColumn != 25 || panelColumn != 1) out << "viewColumn " << viewColumn << " panelColumn " << panelColumn << "; ";
    if (menuTop != 0) out << "menuTop " << menuTop << "; ";
    if (textAttribute != 0 && textAttribute != kAttributeNormal && textAttribute != (kAttributeNormal | kAttributeBrightBit)) {
        out << "attribute " << textAttribute << "; ";
    }
    for (int n = 0; n < kLogLineCount; ++n) {
        std::size_t width = strnlen(messageLog.logLines[n].bytes, kLogTextSize);
        if (width > static_cast<std::size_t>(kLogRowWidth)) out << "log line " << n << " is " << width << " columns; ";
    }
    out << CheckBoosts();
    int inForce = InForce(attackBoosts) + InForce(defenseBoosts);
    if (inForce > watch.boostsInForce) watch.boostsStarted += inForce - watch.boostsInForce;
    watch.boostsInForce = inForce;
    out << CheckBattle(watch);
    out << CheckStatistics(watch);
    return out.str();
}

std::string CheckBetweenPasses(InvariantWatch& watch) {
    std::ostringstream out;
    if (InBattle() || !BattleStateIsReset()) out << "battle state not reset after the pass; ";
    out << CheckAtPoll(watch);
    return out.str();
}

std::string Summary(const InvariantWatch& watch) {
    std::ostringstream out;
    out << watch.polls << " polls, " << watch.battles << " battles (" << watch.won << " won, " << watch.lost << " lost, "
        << watch.fled << " fled), " << watch.boostsStarted << " boosts started, " << watch.levelUps
        << " levels gained, level " << hero.level;
    return out.str();
}
