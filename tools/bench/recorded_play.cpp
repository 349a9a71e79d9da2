#include "tools/bench/recorded_play.h"

#include <cstring>

#include "console/texts.h"
#include "game/game.h"
#include "game/game_state.h"
#include "records/records.h"
#include "tools/bench/scratch_data.h"

namespace {

// The shipped tree with a play of known course: no figures on the first
// screen; the hero (勇者, attack 60, one experience point from level 2) on its
// row 10, which is open to the second screen; a lone Pawn that never dodges
// waiting on the same row of the second screen.
bool MakeTree(ScratchData& tree, const std::string& dataRoot, std::string& error) {
    return MakeScratchData(tree, dataRoot, error) && ClearPlacements(tree, error) &&
           WriteDataFile(tree, "Hero_Info/Hero_Status_Info.txt",
                         "\x97\x45\x8e\xd2\n40 60 8 5 5 6\n1 0 1\n0 0 0 0\n1 5 1 3 1 3\n28 10\n", error) &&
           WriteDataFile(tree, "map_info/map1/2.txt", "1\n1 1 16 10\n", error) &&
           SetEnemySpeed(tree, "Pawn_Status_Info.txt", 0, error);
}

bool ScreenShows(const char* bytes) {
    const MemoryConsole& screen = HeadlessScreen();
    std::size_t length = std::strlen(bytes);
    for (const auto& row : screen.cells) {
        std::string text;
        for (const ConsoleCell& cell : row) text += static_cast<char>(cell.byte);
        if (text.find(std::string(bytes, length)) != std::string::npos) return true;
    }
    return false;
}

// Presses keys as a patient player would: only once the screen has been still
// for a while, so that no key cuts a typed message short.
struct Player {
    enum Phase { kWalk, kAwaitEnemy, kBattle } phase = kWalk;
    RecordedPlay* play;
    long long lastWrites = -1;
    long long stillSinceMs = 0;

    void StartScene(const char* name) { play->scenes.push_back(Scene{name, play->calls.size()}); }

    bool StillFor(long long milliseconds) {
        long long now = HeadlessMilliseconds();
        if (HeadlessWriteCount() != lastWrites) {
            lastWrites = HeadlessWriteCount();
            stillSinceMs = now;
            return false;
        }
        if (now - stillSinceMs < milliseconds) return false;
        stillSinceMs = now;
        return true;
    }

    int Key() {
        bool inBattle = ScreenShows("Enemy View");
        switch (phase) {
        case kWalk:
            if (play->scenes.size() == 1) StartScene("walk into the next screen");
            if (hero.screenNo != 1) {
                StartScene("encounter and wipes");
                phase = kAwaitEnemy;
                return -1;
            }
            if (StillFor(100)) HeadlessPushArrow(77, HeadlessMilliseconds());
            return -1;
        case kAwaitEnemy:
            if (!inBattle || !StillFor(300)) return -1;
            StartScene("battle, typed messages");
            phase = kBattle;
            return 13;
        case kBattle:
            if (!inBattle && hero.level > 1) throw HeadlessStop{HeadlessStop::kOutOfKeys, 0};
            return StillFor(300) ? 13 : -1;
        }
        return -1;
    }
};

// The level-up window starts at the first call that draws one of its labels.
void MarkLevelUpScene(RecordedPlay& play) {
    const std::string label = kTextLabelMaxHp;
    for (std::size_t i = play.scenes.back().firstCall; i < play.calls.size(); ++i) {
        const ConsoleCall& call = play.calls[i];
        if (call.kind == ConsoleCall::kWrite && call.bytes.find(label) != std::string::npos) {
            // Back to the last show before it: the window's frame comes first.
            std::size_t start = i;
            while (start > 0 && play.calls[start - 1].kind != ConsoleCall::kShow) --start;
            play.scenes.push_back(Scene{"level-up window", start});
            return;
        }
    }
    play.failure = "the level-up window was not drawn";
}

}  // namespace

RecordedPlay RecordPlay(const std::string& dataRoot) {
    RecordedPlay play;
    ScratchData tree;
    if (!MakeTree(tree, dataRoot, play.failure)) return play;
    HeadlessReset(tree.data);
    ResetGameState();
    HeadlessSetSeconds(1700000000);
    HeadlessSetTimeLimit(10LL * 60 * 1000);
    Player player;
    player.play = &play;
    HeadlessSetKeySource([&player] { return player.Key(); });
    HeadlessRecordCalls(&play.calls);
    play.scenes.push_back(Scene{"start-up field", 0});
    try {
        StartGame();
        MainLoop();
    } catch (const HeadlessStop& stop) {
        if (stop.reason != HeadlessStop::kOutOfKeys) play.failure = "the play stopped early";
    }
    HeadlessRecordCalls(nullptr);
    HeadlessSetKeySource(nullptr);
    ResetGameState();
    if (play.failure.empty() && player.phase != Player::kBattle) play.failure = "no battle was reached";
    if (play.failure.empty()) MarkLevelUpScene(play);
    return play;
}
