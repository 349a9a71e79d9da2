#include "tests/scripted_player.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>

#include "battle/ability_command.h"
#include "battle/battle_state.h"
#include "console/console.h"
#include "console/texts.h"
#include "field/field_screen.h"
#include "field/world_map.h"
#include "records/records.h"
#include "platform/headless.h"

namespace {

constexpr long long kStepMs = 120;        // about one step per enemy pause
constexpr long long kPatienceMs = 4000;   // waiting beside a figure that does not come
constexpr double kLowHp = 0.4;            // a potion below this share of maxHp
constexpr int kArrows[] = {KeyUp, KeyDown, KeyLeft, KeyRight};
constexpr int kPositions = kScreenCount * kScreenRows * kScreenColumns;

[[noreturn]] void Stop() { throw HeadlessStop{HeadlessStop::kOutOfKeys, 0}; }

// ---- Estimates of a battle, from the formulas' averages ----------------------

// Chance that an attacker of speed s with an ability of power p hits a
// defender of speed d: dodge d + d/2 + U(0..d) against aim s*p + U(0..s).
double HitChance(int d, int s, int p) {
    if (d < 0) d = 0;
    if (s < 0) s = 0;
    int hits = 0;
    for (int a = 0; a <= d; ++a) {
        for (int b = 0; b <= s; ++b) hits += (d + d / 2 + a) <= (s * p + b);
    }
    return static_cast<double>(hits) / ((d + 1.0) * (s + 1.0));
}

double HeroHitDamage(const EnemyKind& kind, const AbilityInfo& ability) {
    if (kind.defense == 0 || kind.magicDefense == 0) return 0;
    return (hero.attack * ability.rate + ability.power) / static_cast<double>(kind.defense) +
           hero.exp / (static_cast<double>(kind.defense) * kind.magicDefense) + 0.5;
}

// The listed ability with the most damage to expect per attack, hits and misses
// together.
int StrongestAbility(const EnemyKind& kind) {
    int best = 0;
    double bestValue = -1;
    for (int i = 0; i < AbilitiesListed(hero.level); ++i) {
        double value = std::max(0.0, HeroHitDamage(kind, abilities[i])) *
                       HitChance(kind.speed, hero.speed, abilities[i].power);
        if (value > bestValue) {
            bestValue = value;
            best = i;
        }
    }
    return best;
}

double EnemyHitDamage(const EnemyKind& kind) {
    const AbilityInfo& ability = abilities[kind.abilityNo < kAbilityCount ? kind.abilityNo : 0];
    if (hero.defense == 0 || hero.magicDefense == 0) return 1000;
    double damage = (kind.attack * ability.rate + ability.power) / static_cast<double>(hero.defense) +
                    (2.0 * hero.exp / 3.0) / (static_cast<double>(hero.defense) * hero.magicDefense) + 0.5;
    return std::max(0.0, damage) * HitChance(hero.speed, kind.speed, ability.power);
}

// The HP the hero can expect to lose while felling `standing` instances of the
// kind, their HP slots as they are now (a slot at 0 or below falls at one hit).
double ExpectedLoss(const EnemyKind& kind, int standing) {
    const AbilityInfo& ability = abilities[StrongestAbility(kind)];
    double perAttack = HeroHitDamage(kind, ability);
    double hitChance = HitChance(kind.speed, hero.speed, ability.power);
    if (perAttack <= 0.5 || hitChance <= 0.01) return 1e9;
    double loss = 0;
    for (int left = standing; left >= 1; --left) {
        int slot = kind.hp[std::min(left, kInstanceSlots) - 1];
        double hits = slot <= 0 ? 1 : std::ceil(slot / perAttack);
        double attacks = hits / hitChance;
        // Every attack that fells nobody is answered by each standing instance.
        loss += (attacks - 1) * left * EnemyHitDamage(kind);
    }
    return loss;
}

int PotionsLeft() { return hero.items[kPotion].count; }

// Whether a group can be beaten with the HP at hand and a few potions.
bool CanBeat(const EnemyKind& kind, int standing, int hp) {
    double reserve = hp + 20.0 * std::min(PotionsLeft(), 2);
    return ExpectedLoss(kind, standing) < 0.7 * reserve;
}

double ExperienceOf(const EnemyKind& kind, int count) {
    double s = kind.maxHp + kind.attack + kind.defense + kind.magicAttack + kind.magicDefense + kind.speed;
    return (s + s / 2 + s / 6) * count;
}

// ---- The field ----------------------------------------------------------------

int Index(int screen, int x, int y) { return ((screen - 1) * kScreenRows + y) * kScreenColumns + x; }

bool ScreenOnWorld(int from, int key) {
    int column = (from - 1) % 3;
    int row = (from - 1) / 3;
    switch (key) {
    case KeyUp: return row > 0;
    case KeyDown: return row < 2;
    case KeyLeft: return column > 0;
    default: return column < 2;
    }
}

// Where a step from (screen, x, y) leads, by the hero's own walk test; false
// when blocked.
bool StepFrom(int screen, int x, int y, int key, int& toScreen, int& toX, int& toY, bool mayLeave) {
    StepResult result = CheckStepAt(screen, x, y, key);
    toScreen = screen;
    toX = x;
    toY = y;
    switch (result) {
    case kStepBlocked:
        return false;
    case kStepLeave:
        if (!mayLeave || !ScreenOnWorld(screen, key)) return false;
        switch (key) {
        case KeyUp: toScreen -= 3; toY = kScreenRows - 1; break;
        case KeyDown: toScreen += 3; toY = 0; break;
        case KeyLeft: toScreen -= 1; toX = kScreenColumns - 3; break;
        default: toScreen += 1; toX = 0; break;
        }
        return true;
    default: {
        int columns = result == kStepOneColumn ? 1 : 2;
        if (key == KeyUp) toY -= 1;
        if (key == KeyDown) toY += 1;
        if (key == KeyLeft) toX -= columns;
        if (key == KeyRight) toX += columns;
        return toX >= 0 && toX <= kScreenColumns - 2 && toY >= 0 && toY < kScreenRows;
    }
    }
}

// A position that overlaps a figure of the current screen: stepping there
// would leave a figure that never moves (it stands on the hero).
bool OnFigure(int screen, int x, int y) {
    if (screen != hero.screenNo) return false;
    for (int i = 0; i < roamingCount; ++i) {
        if (roamingEnemies[i].y == y && std::abs(roamingEnemies[i].x - x) <= 1) return true;
    }
    return false;
}

// Breadth-first search from the hero; `goal` tells the positions sought. The
// route to the nearest one found, empty when there is none or the hero is on one.
template <typename Goal>
std::vector<PlannedStep> Route(bool mayLeave, Goal goal, bool& found) {
    static std::vector<int> from;
    static std::vector<signed char> via;
    from.assign(kPositions, -2);
    via.assign(kPositions, 0);
    std::deque<int> queue;
    int start = Index(hero.screenNo, hero.fieldX, hero.fieldY);
    from[start] = -1;
    queue.push_back(start);
    found = false;
    int end = -1;
    while (!queue.empty()) {
        int at = queue.front();
        queue.pop_front();
        int screen = at / (kScreenRows * kScreenColumns) + 1;
        int y = at / kScreenColumns % kScreenRows;
        int x = at % kScreenColumns;
        if (goal(screen, x, y)) {
            found = true;
            end = at;
            break;
        }
        for (int k = 0; k < 4; ++k) {
            int s2, x2, y2;
            if (!StepFrom(screen, x, y, kArrows[k], s2, x2, y2, mayLeave)) continue;
            if (OnFigure(s2, x2, y2)) continue;
            int next = Index(s2, x2, y2);
            if (from[next] != -2) continue;
            from[next] = at;
            via[next] = static_cast<signed char>(k);
            queue.push_back(next);
        }
    }
    std::vector<PlannedStep> route;
    for (int at = end; found && from[at] >= 0; at = from[at]) {
        int before = from[at];
        route.push_back(PlannedStep{kArrows[via[at]], before / (kScreenRows * kScreenColumns) + 1,
                                    before % kScreenColumns, before / kScreenColumns % kScreenRows});
    }
    std::reverse(route.begin(), route.end());
    return route;
}

struct Placement {
    int kind, count;
};

// The groups a screen's placement file puts up (the player has seen them).
std::vector<Placement> ScreenGroups(int screen) {
    std::ifstream in(std::string(CHESSRPG_DATA_DIR) + "/map_info/map1/" + std::to_string(screen) + ".txt");
    std::vector<Placement> groups;
    int n = 0;
    in >> n;
    for (int i = 0; i < n && i < kRoamingSlots; ++i) {
        int kind, count, x, y;
        if (!(in >> kind >> count >> x >> y)) break;
        groups.push_back(Placement{kind, count});
    }
    return groups;
}

double ScreenWorth(int screen) {
    double worth = 0;
    for (const Placement& group : ScreenGroups(screen)) {
        const EnemyKind& kind = KindRecord(group.kind);
        if (CanBeat(kind, group.count, hero.maxHp)) worth += ExperienceOf(kind, group.count);
    }
    return worth;
}

// The screen other than this one with the most experience the hero can win.
int ChooseGoalScreen() {
    int best = 0;
    double bestWorth = -1;
    bool reachable[kScreenCount + 1] = {};
    bool found;
    Route(true, [&reachable](int screen, int, int) {
        reachable[screen] = true;
        return false;
    }, found);
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        if (screen == hero.screenNo || !reachable[screen]) continue;
        double worth = ScreenWorth(screen);
        if (worth > bestWorth) {
            bestWorth = worth;
            best = screen;
        }
    }
    return best;
}

int RandomArrow(ScriptedPlayer& player) {
    player.randomState = player.randomState * 1103515245u + 12345u;
    return kArrows[(player.randomState >> 16) % 4];
}

// The next arrow on the field, or 0 to wait for the enemies.
int FieldStep(ScriptedPlayer& player) {
    // Beside the row of the nearest figure it can beat, two or three columns
    // away: that figure's next move then reaches the hero.
    auto besideBeatable = [](int screen, int x, int y) {
        if (screen != hero.screenNo) return false;
        for (int i = 0; i < roamingCount; ++i) {
            const RoamingEnemy& e = roamingEnemies[i];
            int dx = std::abs(e.x - x);
            if (e.y == y && dx >= 2 && dx <= 3 && CanBeat(KindRecord(e.kind), e.groupSize, hero.maxHp)) return true;
        }
        return false;
    };
    bool found;
    std::vector<PlannedStep> route = Route(false, besideBeatable, found);
    if (found) {
        player.route.clear();
        if (!route.empty()) {
            player.waitingSinceMs = -1;
            return route.front().key;
        }
        long long now = HeadlessMilliseconds();
        if (player.waitingSinceMs < 0) player.waitingSinceMs = now;
        if (now - player.waitingSinceMs < kPatienceMs) return 0;
        player.waitingSinceMs = -1;
        return RandomArrow(player);
    }
    player.waitingSinceMs = -1;
    // Nothing here worth fighting: on to the best screen.
    bool onRoute = !player.route.empty() && player.route.front().screen == hero.screenNo &&
                   player.route.front().x == hero.fieldX && player.route.front().y == hero.fieldY;
    if (!onRoute) {
        if (player.goalScreen == 0 || player.goalScreen == hero.screenNo) player.goalScreen = ChooseGoalScreen();
        if (player.goalScreen == 0) return RandomArrow(player);
        int goal = player.goalScreen;
        player.route = Route(true, [goal](int screen, int, int) { return screen == goal; }, found);
        if (!found || player.route.empty()) {
            player.goalScreen = 0;
            return RandomArrow(player);
        }
    }
    int key = player.route.front().key;
    player.route.erase(player.route.begin());
    return key;
}

int FieldKey(ScriptedPlayer& player) {
    long long now = HeadlessMilliseconds();
    if (now < player.nextStepMs) return -1;
    int key = FieldStep(player);
    if (key == 0) return -1;
    player.nextStepMs = now + kStepMs;
    player.pendingScan = key;
    return 224;
}

// ---- The battle ------------------------------------------------------------------

bool ScreenHas(int row, int column, const char* bytes) {
    const MemoryConsole& screen = HeadlessScreen();
    for (int i = 0; bytes[i] != '\0'; ++i) {
        if (column + i >= kConsoleColumns || screen.cells[row][column + i].byte != static_cast<unsigned char>(bytes[i])) {
            return false;
        }
    }
    return true;
}

enum BattleWindow { kCommands, kTargets, kAbilityList, kItemWindow };

BattleWindow OpenWindow() {
    if (ScreenHas(0, 54, "______Ability_______")) return kAbilityList;
    if (ScreenHas(0, 54, "________Item________")) return kItemWindow;
    // The selection banner at rest: the target choice (this player never defends,
    // and the item window erases the banner when it closes).
    if (ScreenHas(7, viewColumn - 1, kTextSelectionBanner)) return kTargets;
    return kCommands;
}

int BattleKey(ScriptedPlayer& player, const EnemyKind& kind) {
    const bool low = hero.hp < kLowHp * hero.maxHp;
    const bool potion = low && PotionsLeft() > 0;
    const bool flee = !potion && !CanBeat(kind, battleState.enemiesLeft, hero.hp);
    const int command = potion ? 2 : flee ? 3 : 0;
    switch (OpenWindow()) {
    case kAbilityList: {
        if (hero.level >= 25 && ScreenHas(10, 60, abilities[kAbsoluteObedience].name)) player.sawFifthAbility = true;
        if (command != 0) return KeySpace;
        int best = StrongestAbility(kind);
        if (battleState.abilityCursor < best) return KeyDown;
        if (battleState.abilityCursor > best) return KeyUp;
        return KeyEnter;
    }
    case kItemWindow:
        if (!potion) return KeyLeft;
        return battleState.itemCursor > 0 ? KeyUp : KeyEnter;
    case kTargets:
        return command == 0 ? KeyEnter : KeySpace;
    default:
        if (battleState.commandCursor < command) return KeyDown;
        if (battleState.commandCursor > command) return KeyUp;
        if (command == 3) player.fleeKeys += 1;
        return KeyEnter;
    }
}

// The kind of the battle in progress: the one whose glyph the enemy view shows.
const EnemyKind& KindInView() {
    const MemoryConsole& screen = HeadlessScreen();
    for (int kind = kPawn; kind <= kRook; ++kind) {
        const char* glyph = enemyKinds[kind].glyph;
        for (int row = 2; row <= 4; ++row) {
            for (int column = 25; column + 1 < 25 + 20; ++column) {
                if (screen.cells[row][column].byte == static_cast<unsigned char>(glyph[0]) &&
                    screen.cells[row][column + 1].byte == static_cast<unsigned char>(glyph[1])) {
                    return enemyKinds[kind];
                }
            }
        }
    }
    return enemyKinds[kPawn];
}

}  // namespace

int PlayerKey(ScriptedPlayer& player) {
    std::string failed = CheckAtPoll(player.watch);
    if (!failed.empty()) {
        player.failure = failed;
        Stop();
    }
    if (player.sawFifthAbility && player.stopAtFifthAbility) Stop();
    if (player.watch.battles > player.battleLimit) {
        player.failure = "no fifth ability after " + std::to_string(player.battleLimit) + " battles";
        Stop();
    }
    if (hero.screenNo != player.lastScreen) {
        player.screenChanges += player.lastScreen != 0;
        player.lastScreen = hero.screenNo;
    }
    if (!InBattle()) {
        if (player.battleKind != nullptr) {
            if (player.trace) {
                std::printf("battle %ld: screen %d, %d of kind %s, level %d, hp %d -> %d, won %ld lost %ld fled %ld\n",
                            player.watch.battles, hero.screenNo, player.battleGroup, player.battleKind, hero.level,
                            player.hpAtStart, hero.hp, player.watch.won, player.watch.lost, player.watch.fled);
            }
            player.battleKind = nullptr;
        }
        if (player.pendingScan >= 0) {
            int scan = player.pendingScan;
            player.pendingScan = -1;
            return scan;
        }
        return FieldKey(player);
    }
    player.pendingScan = -1;
    if (player.battleKind == nullptr) {
        player.battleKind = KindInView().glyph;
        player.battleGroup = battleState.enemiesLeft + battleState.defeatedCount;
        player.hpAtStart = hero.hp;
    }
    // A key that changed nothing on the screen was read by a wait for a confirm
    // key (or was dropped): confirm, and if that does nothing either, leave.
    long long writes = HeadlessWriteCount();
    bool stalled = writes == player.writesAfterLastKey &&
                   (player.lastKey == KeyUp || player.lastKey == KeyLeft || player.lastKey == KeySpace ||
                    player.lastKey == KeyDown);
    player.stalls = stalled ? player.stalls + 1 : 0;
    int key = BattleKey(player, KindInView());
    if (player.stalls > 0 && (key == KeyUp || key == KeyLeft || key == KeySpace)) {
        key = player.stalls % 2 == 1 ? KeyDown : KeySpace;
    }
    player.lastKey = key;
    player.writesAfterLastKey = writes;
    return key;
}
