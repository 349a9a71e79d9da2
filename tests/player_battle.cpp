#include "tests/player_battle.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "battle/ability_command.h"
#include "battle/battle_state.h"
#include "battle/boosts.h"
#include "battle/item_command.h"
#include "console/console.h"
#include "console/message_log.h"
#include "console/texts.h"
#include "platform/headless.h"
#include "tests/player_estimates.h"

namespace {

constexpr double kLowHp = 0.4;            // a potion below this share of maxHp
constexpr double kBoostWorth = 1.5;       // a boost must save this many of the rounds it costs
constexpr double kBoostRounds = 5;        // the enemies' rounds a boost lasts
constexpr double kWorthFleeing = 0.25;    // the least chance of getting away worth a try

bool ScreenHas(int row, int column, const char* bytes) {
    const MemoryConsole& screen = HeadlessScreen();
    for (int i = 0; bytes[i] != '\0'; ++i) {
        if (column + i >= kConsoleColumns || screen.cells[row][column + i].byte != static_cast<unsigned char>(bytes[i])) {
            return false;
        }
    }
    return true;
}

enum BattleWindow { kCommands, kTargets, kAbilityList, kItemWindow, kConfirm };

BattleWindow OpenWindow() {
    // The key help says what the game reads; the screen tells the rest.
    const std::string& hint = HeadlessHint();
    // A message waiting, being typed or counted up: a confirm key goes on.
    if (hint == kTextHintConfirm || hint == kTextHintTyping || hint == kTextHintLevelUp) return kConfirm;
    if (hint == kTextHintAbilities) return kAbilityList;
    if (hint == kTextHintItems) return kItemWindow;
    if (hint == kTextHintTargets) return kTargets;
    if (hint == kTextHintCommands) return kCommands;
    if (ScreenHas(0, 54, "______Ability_______")) return kAbilityList;
    if (ScreenHas(0, 54, "________Item________")) return kItemWindow;
    // The selection banner at rest: the target choice (this player never defends,
    // and the item window erases the banner when it closes).
    if (ScreenHas(7, viewColumn - 1, kTextSelectionBanner)) return kTargets;
    return kCommands;
}

bool InForce(const BoostSlot* slots) {
    for (int i = 0; i < kBoostSlots; ++i) {
        if (slots[i].turnsLeft != kBoostFree) return true;
    }
    return false;
}

bool FleesFirst(const ScriptedPlayer& player) { return player.current.fleeTries < player.fleeFirst; }

// The HP slot the next hit lowers: the one numbered like the count standing.
int SlotHp(const EnemyKind& kind) {
    return kind.hp[std::max(1, std::min<int>(battleState.enemiesLeft, kInstanceSlots)) - 1];
}

// The item to use now, or -1. Each takes a turn, which costs a round of the
// enemies' attacks: a potion when the HP runs low, the enemies left could
// still take it and it heals more than that round costs; a buckler, else a
// protein, when it saves more than that round over the battle.
int ItemToUse(const ScriptedPlayer& player, const EnemyKind& kind) {
    if (!player.useItems || FleesFirst(player)) return -1;
    const int standing = battleState.enemiesLeft;
    const double loss = ExpectedLoss(kind, standing);
    const double round = standing * EnemyHitDamage(kind);
    if (hero.hp < kLowHp * hero.maxHp && hero.items[kPotion].count > 0 && loss >= hero.hp && round < kPotionHeal) {
        return kPotion;
    }
    if (activeBoostCount >= kBoostSlots || round <= 0) return -1;
    // A boost counts for the rounds it lasts: of a longer battle it saves a share.
    const double lasting = loss > 0 ? std::min(1.0, kBoostRounds * round / loss) : 0;
    auto pays = [&](int attackBonus, int defenseBonus) {
        return (loss - ExpectedLossBoosted(kind, standing, attackBonus, defenseBonus)) * lasting > kBoostWorth * round;
    };
    if (hero.items[kBuckler].count > 0 && !InForce(defenseBoosts) && DefenseBoostRoom() && pays(0, kBoostBonus)) {
        return kBuckler;
    }
    if (hero.items[kProtein].count > 0 && !InForce(attackBoosts) && AttackBoostRoom() && pays(kBoostBonus, 0)) {
        return kProtein;
    }
    return -1;
}

// Whether the message log holds a line: what the player reads on the screen.
bool LogShows(const char* text) {
    for (const LogText& line : messageLog.logLines) {
        if (std::strcmp(line.bytes, text) == 0) return true;
    }
    return false;
}

}  // namespace

int BattleKey(ScriptedPlayer& player, const EnemyKind& kind) {
    const int item = ItemToUse(player, kind);
    // A group it cannot beat it flees from, unless flight is all but hopeless.
    const bool flee = FleesFirst(player) || (item != kPotion && !CanBeat(kind, battleState.enemiesLeft, hero.hp) &&
                                             FleeChance(kind, battleState.enemiesLeft) >= kWorthFleeing);
    const int command = flee ? 3 : item >= 0 ? 2 : 0;
    switch (OpenWindow()) {
    case kConfirm:
        return KeyEnter;
    case kAbilityList: {
        if (hero.level >= 25 && ScreenHas(10, 60, abilities[kAbsoluteObedience].name)) player.sawFifthAbility = true;
        if (command != 0) return KeySpace;
        int best = StrongestAbility(kind, SlotHp(kind));
        if (battleState.abilityCursor < best) return KeyDown;
        if (battleState.abilityCursor > best) return KeyUp;
        return KeyEnter;
    }
    case kItemWindow:
        if (command != 2) return KeyLeft;
        if (battleState.itemCursor < item) return KeyDown;
        if (battleState.itemCursor > item) return KeyUp;
        return KeyEnter;
    case kTargets:
        return command == 0 ? KeyEnter : KeySpace;
    default:
        if (battleState.commandCursor < command) return KeyDown;
        if (battleState.commandCursor > command) return KeyUp;
        if (command == 3) player.fleeKeys += 1;
        return KeyEnter;
    }
}

int KindInView() {
    const MemoryConsole& screen = HeadlessScreen();
    for (int kind = kPawn; kind <= kRook; ++kind) {
        const char* glyph = enemyKinds[kind].glyph;
        for (int row = 2; row <= 4; ++row) {
            for (int column = 25; column + 1 < 25 + 20; ++column) {
                if (screen.cells[row][column].byte == static_cast<unsigned char>(glyph[0]) &&
                    screen.cells[row][column + 1].byte == static_cast<unsigned char>(glyph[1])) {
                    return kind;
                }
            }
        }
    }
    return kPawn;
}

void NoteFailedFlight(ScriptedPlayer& player) {
    // A failed flight leaves its message in the log until the enemies' turn
    // clears it: each time it shows, one flight has failed.
    bool shown = LogShows(kTextFleeFailed);
    if (shown && !player.fleeFailShown) player.current.fleeTries += 1;
    player.fleeFailShown = shown;
}

void BattleBegins(ScriptedPlayer& player) {
    player.inBattle = true;
    player.current = PlayedBattle{};
    player.current.kind = KindInView() + 1;
    player.current.group = battleState.enemiesLeft + battleState.defeatedCount;
    player.current.screen = hero.screenNo;
    player.current.level = hero.level;
    player.current.startMs = HeadlessMilliseconds();
    for (int i = 0; i < 3; ++i) player.itemsAtStart[i] = hero.items[i].count;
    player.fleeFailShown = false;
    player.hpAtStart = hero.hp;
    player.wonBefore = player.watch.won;
    player.lostBefore = player.watch.lost;
    player.fledBefore = player.watch.fled;
}

void BattleEnds(ScriptedPlayer& player) {
    player.inBattle = false;
    PlayedBattle& battle = player.current;
    battle.endMs = HeadlessMilliseconds();
    battle.outcome = player.watch.won > player.wonBefore ? 'w' : player.watch.lost > player.lostBefore ? 'l' : 'f';
    if (battle.outcome == 'f') battle.fleeTries += 1;  // the flight that got away
    battle.potions = player.itemsAtStart[kPotion] - hero.items[kPotion].count;
    battle.boosts = player.itemsAtStart[kProtein] - hero.items[kProtein].count + player.itemsAtStart[kBuckler] -
                    hero.items[kBuckler].count;
    if (player.trace) {
        std::printf("battle %ld: screen %d, %d of kind %s, level %d, hp %d -> %d, won %ld lost %ld fled %ld\n",
                    player.watch.battles, battle.screen, battle.group, enemyKinds[battle.kind - 1].glyph, hero.level,
                    player.hpAtStart, hero.hp, player.watch.won, player.watch.lost, player.watch.fled);
    }
    if (player.played) player.played->push_back(battle);
}
