#include "tools/recordings/journey_runs.h"

#include <cstdio>

#include "field/world_map.h"
#include "game/command_line.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/recording.h"
#include "game/tree_identity.h"
#include "game/trial_run.h"
#include "platform/headless.h"

namespace {

std::string ReadBack(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) text.append(block, got);
    return text;
}

bool AllScreensSeen(const ScriptedPlayer& player) {
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        if (!player.visited[screen]) return false;
    }
    return true;
}

bool WonAndLevelledUp(const ScriptedPlayer& player) { return player.watch.levelUps >= 2 && player.watch.won >= 4; }
bool Fled(const ScriptedPlayer& player) { return player.watch.fled >= 1; }
bool Lost(const ScriptedPlayer& player) { return player.watch.lost >= 1; }

}  // namespace

std::string RecordJourney(JourneyPlan& plan, std::string& why) {
    HeadlessReset(plan.dataRoot);
    ResetGameState();
    HeadlessSetSeconds(plan.seconds);
    HeadlessSetTimeLimit(plan.limitMs);
    std::FILE* file = std::tmpfile();
    if (!file) {
        why = "no temporary file";
        return "";
    }
    std::fputs(RecordingHeader(ProgramAndVersion(), DataTreeIdentity()).c_str(), file);
    ScriptedPlayer& player = plan.player;
    auto done = plan.done;
    HeadlessSetKeySource([&player, done] {
        if (done && done(player)) throw HeadlessStop{HeadlessStop::kOutOfKeys, 0};
        return PlayerKey(player);
    });
    bool figure = false;
    try {
        StartGame();
        if (plan.noEnemies || plan.screen != 0) {
            // As a trial run begins (--no-enemies, --start).
            TrialRun trial;
            trial.on = true;
            trial.noEnemies = plan.noEnemies;
            trial.placed = plan.screen != 0;
            trial.screen = plan.screen;
            trial.column = plan.column;
            trial.row = plan.row;
            BeginTrialRun(trial);
            figure = trial.placed;
        }
        if (plan.record) BeginRecording(file, figure);
        for (;;) MainLoopPass();
    } catch (const HeadlessStop& stop) {
        if (stop.reason == HeadlessStop::kTimeLimit) why = "the time limit came first";
    }
    HeadlessSetKeySource(nullptr);
    JournalFinishRecording();
    if (!player.failure.empty()) why = player.failure;
    std::string text = ReadBack(file);
    std::fclose(file);
    ResetJournal();
    return why.empty() ? text : "";
}

ReplayOutcome ReplayJourney(const std::string& text, const std::string& dataRoot) {
    HeadlessReset(dataRoot);
    ResetGameState();
    Recording recording;
    ReplayOutcome outcome;
    outcome.state = ReplayOutcome::kParted;
    if (!ParseRecording(text, recording, outcome.why)) return outcome;
    if (recording.tree != DataTreeIdentity()) {
        outcome.why = "recorded on another data tree";
        return outcome;
    }
    ReplaySettings settings;
    settings.watched = false;
    settings.exitAtStop = true;
    try {
        BeginReplay(recording, settings);
        MainLoop();
    } catch (const HeadlessStop&) {
    }
    outcome = JournalReplayOutcome();
    ResetJournal();
    return outcome;
}

std::vector<JourneyPlan> ShippedJourneyPlans(const std::string& dataRoot) {
    std::vector<JourneyPlan> plans(4);
    for (JourneyPlan& plan : plans) {
        plan.dataRoot = dataRoot;
        plan.player.keyIntervalMs = 150;  // about a person's pace
        plan.player.stopAtFifthAbility = false;
    }
    // Through all nine screens with nobody in the way: the King's screen
    // opens the gate, and the Queen's lies behind it.
    plans[0].name = "nine_screens";
    plans[0].noEnemies = true;
    plans[0].player.journey = true;
    plans[0].player.explore = true;
    plans[0].done = AllScreensSeen;
    // From a new game: battles won, with items and abilities, and level-ups.
    plans[1].name = "battles_won";
    plans[1].player.journey = true;
    plans[1].done = WonAndLevelledUp;
    // A flight from the village's Pawns.
    plans[2].name = "battle_fled";
    plans[2].player.fleeFirst = 3;
    plans[2].done = Fled;
    // A defeat: a new hero among the Knights and Bishops of the King's screen.
    plans[3].name = "battle_lost";
    plans[3].screen = 3;
    plans[3].column = 30;
    plans[3].row = 10;
    plans[3].player.useItems = false;
    plans[3].done = Lost;
    return plans;
}
