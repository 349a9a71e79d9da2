#include "tests/scripted_player.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "battle/battle_state.h"
#include "console/console.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "field/world_map.h"
#include "platform/headless.h"
#include "platform/data_files.h"
#include "records/records.h"
#include "tests/player_battle.h"
#include "tests/player_estimates.h"

namespace {

constexpr long long kStepMs = 120;        // about one step per enemy pause
constexpr long long kPatienceMs = 4000;   // waiting beside a figure that does not come
constexpr int kArrows[] = {KeyUp, KeyDown, KeyLeft, KeyRight};
constexpr int kPositions = kScreenCount * kScreenRows * kScreenColumns;

[[noreturn]] void Stop() { throw HeadlessStop{HeadlessStop::kOutOfKeys, 0}; }

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
// route to the nearest one found, empty when there is none or the hero is on
// one. It leaves the screen only when mayLeave, and then enters only the
// screens marked in `through` (any screen when null).
template <typename Goal>
std::vector<PlannedStep> Route(bool mayLeave, const bool* through, Goal goal, bool& found) {
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
            if (through != nullptr && s2 != screen && !through[s2]) continue;
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

// The groups a screen's placement file puts up (the player has seen them),
// read as the game reads it.
std::vector<Placement> ScreenGroups(int screen) {
    std::vector<Placement> groups;
    char path[40];
    PlacementPath(path, worldNumber, screen);
    std::FILE* file = PlatformOpenFile(path);
    if (file == nullptr) return groups;
    int n = 0;
    if (std::fscanf(file, "%d", &n) == 1) {
        for (int i = 0; i < n && i < kRoamingSlots; ++i) {
            int kind, count, x, y;
            if (std::fscanf(file, "%d %d %d %d", &kind, &count, &x, &y) != 4) break;
            groups.push_back(Placement{kind, count});
        }
    }
    std::fclose(file);
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

// On a journey the player is at ease once no group of the screens it has seen
// would cost it more than this share of its HP, their HP whole.
constexpr double kEase = 0.5;

bool AtEase(const ScriptedPlayer& player) {
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        if (!player.visited[screen]) continue;
        for (const Placement& group : ScreenGroups(screen)) {
            if (ExpectedLossWhole(KindRecord(group.kind), group.count) >= kEase * hero.maxHp) return false;
        }
    }
    return true;
}

// Whether a route leads from the hero to the screen through screens the
// player has seen.
bool ReachableThroughSeen(const ScriptedPlayer& player, int target) {
    bool through[kScreenCount + 1];
    for (int screen = 1; screen <= kScreenCount; ++screen) through[screen] = player.visited[screen] || screen == target;
    bool found;
    Route(true, through, [target](int screen, int, int) { return screen == target; }, found);
    return found;
}

// How far a screen lies from the start screen, in screens across and down.
int GridDistance(int from, int to) {
    return std::abs((from - 1) % 3 - (to - 1) % 3) + std::abs((from - 1) / 3 - (to - 1) / 3);
}

// The next new screen of a journey: of those the player has not stood on, the
// nearest to the start first, the King's after the others as near, the
// Queen's last; 0 when none is left that can be reached.
int NextNewScreen(const ScriptedPlayer& player) {
    int best = 0;
    int bestKey = 0;
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        if (player.visited[screen]) continue;
        int key = screen == queenSpot.screen ? 1000
                                              : GridDistance(player.startScreen, screen) * 20 +
                                                    (screen == kingSpot.screen ? 10 : 0) + screen;
        if (best != 0 && key >= bestKey) continue;
        if (!ReachableThroughSeen(player, screen)) continue;
        best = screen;
        bestKey = key;
    }
    return best;
}

// The screen other than this one with the most experience the hero can win;
// on a journey, among the screens the player has seen, and a new screen once
// it is at ease on those or they hold nothing it can beat.
int ChooseGoalScreen(const ScriptedPlayer& player) {
    int next = player.journey ? NextNewScreen(player) : 0;
    if (next != 0 && (player.explore || AtEase(player))) return next;
    int best = 0;
    double bestWorth = 0;
    bool reachable[kScreenCount + 1] = {};
    bool found;
    Route(true, player.journey ? player.visited : nullptr, [&reachable](int screen, int, int) {
        reachable[screen] = true;
        return false;
    }, found);
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        if (screen == hero.screenNo || !reachable[screen]) continue;
        double worth = ScreenWorth(screen);
        if (best == 0 || worth > bestWorth) {
            bestWorth = worth;
            best = screen;
        }
    }
    if (next != 0 && bestWorth <= 0) return next;
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
    std::vector<PlannedStep> route = Route(false, nullptr, besideBeatable, found);
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
        if (player.goalScreen == 0 || player.goalScreen == hero.screenNo) player.goalScreen = ChooseGoalScreen(player);
        if (player.goalScreen == 0) return RandomArrow(player);
        int goal = player.goalScreen;
        // On a journey the way leads only through screens already seen.
        bool through[kScreenCount + 1];
        for (int screen = 1; screen <= kScreenCount; ++screen) {
            through[screen] = !player.journey || player.visited[screen] || screen == goal;
        }
        player.route = Route(true, through, [goal](int screen, int, int) { return screen == goal; }, found);
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

void CheckPoll(ScriptedPlayer& player) {
    std::string failed = CheckAtPoll(player.watch);
    if (!failed.empty()) {
        player.failure = failed;
        Stop();
    }
}

}  // namespace

int PlayerKey(ScriptedPlayer& player) {
    CheckPoll(player);
    if (player.sawFifthAbility && player.stopAtFifthAbility) Stop();
    if (player.watch.battles > player.battleLimit) {
        player.failure = "no fifth ability after " + std::to_string(player.battleLimit) + " battles";
        Stop();
    }
    if (hero.screenNo != player.lastScreen) {
        player.screenChanges += player.lastScreen != 0;
        player.lastScreen = hero.screenNo;
    }
    if (hero.screenNo >= 1 && hero.screenNo <= kScreenCount) {
        if (player.startScreen == 0) player.startScreen = hero.screenNo;
        player.visited[hero.screenNo] = true;
    }
    if (InBattle() != player.inBattle) {
        if (player.inBattle) {
            BattleEnds(player);
        } else {
            BattleBegins(player);
        }
    }
    if (InBattle()) {
        player.current.turns = battleState.turnCount;
        NoteFailedFlight(player);
    }
    // The second code of an arrow follows its first at once.
    if (player.pendingScan >= 0 && !InBattle()) {
        int scan = player.pendingScan;
        player.pendingScan = -1;
        return scan;
    }
    player.pendingScan = -1;
    long long now = HeadlessMilliseconds();
    if (player.keyIntervalMs > 0 && player.lastKeyMs >= 0 && now < player.lastKeyMs + player.keyIntervalMs) return -1;
    int key;
    if (!InBattle()) {
        key = FieldKey(player);
    } else {
        // A key that changed nothing on the screen was read by a wait for a confirm
        // key (or was dropped): confirm, and if that does nothing either, leave.
        long long writes = HeadlessWriteCount();
        bool stalled = writes == player.writesAfterLastKey &&
                       (player.lastKey == KeyUp || player.lastKey == KeyLeft || player.lastKey == KeySpace ||
                        player.lastKey == KeyDown);
        player.stalls = stalled ? player.stalls + 1 : 0;
        key = BattleKey(player, enemyKinds[player.current.kind - 1]);
        if (player.stalls > 0 && (key == KeyUp || key == KeyLeft || key == KeySpace)) {
            key = player.stalls % 2 == 1 ? KeyDown : KeySpace;
        }
        player.lastKey = key;
        player.writesAfterLastKey = writes;
    }
    if (key >= 0) player.lastKeyMs = now;
    return key;
}

void PlayerAfterBattle(ScriptedPlayer& player) {
    CheckPoll(player);
    if (player.inBattle && !InBattle()) BattleEnds(player);
}
