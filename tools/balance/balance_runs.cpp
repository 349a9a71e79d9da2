#include "tools/balance/balance_runs.h"

#include <cstring>

#include "battle/battle_flow.h"
#include "field/map_files.h"
#include "game/game.h"
#include "game/game_state.h"
#include "platform/headless.h"

namespace {

void StartHeadlessGame(const std::string& dataRoot, long long seconds) {
    HeadlessReset(dataRoot);
    ResetGameState();
    HeadlessSetSeconds(seconds);
    StartGame();
}

ScriptedPlayer PlayerOfStyle(const PlayStyle& style) {
    ScriptedPlayer player;
    player.keyIntervalMs = style.keyIntervalMs;
    player.useItems = style.useItems;
    player.fleeFirst = style.fleeFirst;
    return player;
}

}  // namespace

GameSnapshot TakeSnapshot() {
    GameSnapshot snapshot;
    snapshot.taken = true;
    snapshot.hero = hero;
    std::memcpy(snapshot.kinds, enemyKinds, sizeof snapshot.kinds);
    std::memcpy(snapshot.attackBoosts, attackBoosts, sizeof snapshot.attackBoosts);
    std::memcpy(snapshot.defenseBoosts, defenseBoosts, sizeof snapshot.defenseBoosts);
    std::memcpy(snapshot.boostRowUsed, boostRowUsed, sizeof snapshot.boostRowUsed);
    snapshot.activeBoostCount = activeBoostCount;
    return snapshot;
}

void RestoreSnapshot(const GameSnapshot& snapshot) {
    hero = snapshot.hero;
    std::memcpy(enemyKinds, snapshot.kinds, sizeof snapshot.kinds);
    std::memcpy(attackBoosts, snapshot.attackBoosts, sizeof snapshot.attackBoosts);
    std::memcpy(defenseBoosts, snapshot.defenseBoosts, sizeof snapshot.defenseBoosts);
    std::memcpy(boostRowUsed, snapshot.boostRowUsed, sizeof snapshot.boostRowUsed);
    activeBoostCount = snapshot.activeBoostCount;
}

Journey PlayJourney(const PlayStyle& style, long long seconds, long long limitMs) {
    Journey journey;
    for (long long& ms : journey.arrivalMs) ms = -1;
    for (int& level : journey.arrivalLevel) level = 0;
    for (long long& ms : journey.levelMs) ms = -1;
    StartHeadlessGame(style.dataRoot, seconds);
    HeadlessSetTimeLimit(limitMs);
    ScriptedPlayer player = PlayerOfStyle(style);
    player.journey = true;
    player.battleLimit = 100000;
    player.played = &journey.battles;
    HeadlessSetKeySource([&player, &journey] {
        long long now = HeadlessMilliseconds();
        int screen = hero.screenNo;
        // Moments on the field, where a person could stop and look.
        if (!InBattle()) {
            if (screen >= 1 && screen <= kScreenCount && journey.arrivalMs[screen] < 0) {
                journey.arrivalMs[screen] = now;
                journey.arrivalLevel[screen] = hero.level;
                journey.atArrival[screen] = TakeSnapshot();
            }
            if (hero.level <= kTrackedLevels && journey.levelMs[hero.level] < 0) {
                journey.levelMs[hero.level] = now;
                journey.atLevel[hero.level] = TakeSnapshot();
            }
        }
        int key = PlayerKey(player);
        if (player.sawFifthAbility && journey.fifthAbilityMs < 0) journey.fifthAbilityMs = now;
        return key;
    });
    try {
        for (;;) {
            MainLoopPass();
            std::string failed = CheckBetweenPasses(player.watch);
            if (!failed.empty()) {
                journey.failure = failed;
                break;
            }
        }
    } catch (const HeadlessStop&) {
    }
    HeadlessSetKeySource(nullptr);
    if (journey.failure.empty()) journey.failure = player.failure;
    journey.endMs = HeadlessMilliseconds();
    for (int i = 0; i < 3; ++i) journey.itemsLeft[i] = hero.items[i].count;
    return journey;
}

std::vector<PlayedBattle> FightScreen(const GameSnapshot& from, int screen, const PlayStyle& style, long long seconds) {
    std::vector<PlayedBattle> played;
    StartHeadlessGame(style.dataRoot, seconds);
    RestoreSnapshot(from);
    hero.screenNo = static_cast<uint16_t>(screen);
    LoadPlacements(worldNumber);
    const int groups = roamingCount;
    RoamingEnemy placed[kRoamingSlots];
    std::memcpy(placed, roamingEnemies, sizeof placed);

    ScriptedPlayer player = PlayerOfStyle(style);
    player.played = &played;
    HeadlessSetKeySource([&player] { return PlayerKey(player); });
    for (int i = 0; i < groups; ++i) {
        ClearConsole();
        long long start = HeadlessMilliseconds();
        try {
            RunBattle(KindRecord(placed[i].kind), placed[i].groupSize);
            PlayerAfterBattle(player);
        } catch (const HeadlessStop&) {
            break;
        }
        if (!played.empty()) {
            played.back().startMs = start;
            played.back().endMs = HeadlessMilliseconds();
        }
    }
    HeadlessSetKeySource(nullptr);
    return played;
}
