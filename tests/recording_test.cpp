// Recordings: the journeys stored in tests/recordings replay to their end on
// the shipped world; a replay that leaves its recording says at which key; a
// recording cut short plays up to its cut; a failed write stops recording,
// not the game; a watched replay keeps the recording's pace at the viewer's speed.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "console/console.h"
#include "console/texts.h"
#include "game/command_line.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/recording.h"
#include "platform/headless.h"
#include "platform/journal.h"
#include "tests/test_support.h"
#include "tools/recordings/journey_runs.h"

namespace {

std::string Stored(const std::string& name) {
    std::ifstream in(std::string(CHESSRPG_SOURCE_DIR) + "/tests/recordings/" + name + ".rec", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The line of the n-th key (from 1).
std::size_t KeyLine(const std::vector<std::string>& lines, int n) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i][0] == 'k' && --n == 0) return i;
    }
    return lines.size();
}

// Each stored journey replays on the shipped world to its end, its state
// there the one recorded: a change of any behaviour shows as the key where
// they part (make recordings records them again).
TEST(RecordingTest, TheStoredJourneysReplayToTheirEnd) {
    for (const char* name : {"nine_screens", "battles_won", "battle_fled", "battle_lost"}) {
        const std::string text = Stored(name);
        ASSERT_FALSE(text.empty()) << name;
        ReplayOutcome outcome = ReplayJourney(text, CHESSRPG_DATA_DIR);
        EXPECT_EQ(outcome.state, ReplayOutcome::kEnded)
            << name << " left its recording at key " << outcome.key << " (" << RecordingTime(outcome.ms)
            << "): " << outcome.why << "\n(make recordings records the journeys again after a deliberate change)";
    }
    ResetGameState();
}

// A recording that another program would play differently: one key's code
// changed, the clock's reading that seeds a battle's dice changed, a key
// read after fewer polls. The replay stops at the first key whose check
// differs, not later, and says so.
TEST(RecordingTest, AReplayThatLeavesItsRecordingSaysAtWhichKey) {
    std::vector<std::string> lines = Lines(Stored("battles_won"));

    // Key 2 is the first step's scan code, down: up moves the hero elsewhere.
    std::vector<std::string> moved = lines;
    std::size_t at = KeyLine(moved, 2);
    ASSERT_EQ(moved[at].substr(0, 5), "k 80 ") << "key 2 is expected to be the down arrow";
    moved[at].replace(2, 2, "72");
    ReplayOutcome outcome = ReplayJourney(Joined(moved), CHESSRPG_DATA_DIR);
    EXPECT_EQ(outcome.state, ReplayOutcome::kParted);
    EXPECT_EQ(outcome.key, 3);
    EXPECT_EQ(outcome.why, "the game's state differs from the recording's");
    EXPECT_EQ(ReplayStatus(outcome), 1);

    // The first battle's seed: another second, other dice.
    std::vector<std::string> reseeded = lines;
    std::size_t clock = 5;  // past the header
    while (reseeded[clock][0] != 'c') ++clock;
    int keysBefore = 0;
    for (std::size_t i = 0; i < clock; ++i) keysBefore += reseeded[i][0] == 'k';
    reseeded[clock] = "c " + std::to_string(std::stoll(reseeded[clock].substr(2)) + 7);
    outcome = ReplayJourney(Joined(reseeded), CHESSRPG_DATA_DIR);
    EXPECT_EQ(outcome.state, ReplayOutcome::kParted);
    EXPECT_GT(outcome.key, keysBefore);

    // A key that came one poll sooner: polled for once more than recorded.
    std::vector<std::string> sooner = lines;
    at = KeyLine(sooner, 3);
    ASSERT_EQ(sooner[at].substr(0, 6), "k 224 ");
    std::istringstream words(sooner[at]);
    std::string k, code, polls, ms, check;
    words >> k >> code >> polls >> ms >> check;
    ASSERT_GT(std::stoll(polls), 0);
    sooner[at] = "k 224 " + std::to_string(std::stoll(polls) - 1) + " " + ms + " " + check;
    outcome = ReplayJourney(Joined(sooner), CHESSRPG_DATA_DIR);
    EXPECT_EQ(outcome.state, ReplayOutcome::kParted);
    EXPECT_EQ(outcome.key, 3);
    ResetGameState();
}

// A game killed while recording leaves every line written before: the
// replay plays up to the last whole key and ends there, saying it was cut;
// a line cut in the middle is left out.
TEST(RecordingTest, ARecordingCutShortPlaysUpToItsCut) {
    const std::string text = Stored("battle_fled");
    std::vector<std::string> lines = Lines(text);
    std::size_t at = KeyLine(lines, 40);
    std::string cut = Joined(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(at) + 1)) +
                      lines[at + 1].substr(0, 3);
    ReplayOutcome outcome = ReplayJourney(cut, CHESSRPG_DATA_DIR);
    EXPECT_EQ(outcome.state, ReplayOutcome::kCut) << outcome.why;
    EXPECT_EQ(outcome.key, 40);
    EXPECT_EQ(ReplayStatus(outcome), 0);

    Recording recording;
    std::string why;
    EXPECT_FALSE(ParseRecording(Joined(std::vector<std::string>(lines.begin(), lines.begin() + 4)), recording, why));
    EXPECT_EQ(why, "the recording ends before the journey began");
    ResetGameState();
}

// What is not a recording this program can replay is refused with the line at fault.
TEST(RecordingTest, WhatIsNotARecordingIsRefusedWithItsLine) {
    std::vector<std::string> lines = Lines(Stored("battle_lost"));
    Recording recording;
    std::string why;
    ASSERT_TRUE(ParseRecording(Joined(lines), recording, why)) << why;
    EXPECT_EQ(recording.program, ProgramAndVersion());

    struct Case {
        std::size_t line;
        std::string text;
        std::string why;
    };
    const Case cases[] = {
        {0, "chessrpg-recording 2", "a recording in layout \"2\"; this chessrpg reads layout 1"},
        {0, "CHESSRPG_SAVE_2", "not a recording of chessrpg (its first line is not \"chessrpg-recording 1\")"},
        {4, "start 0 0 0 8 00000000", "line 5: not a start line (start GATE ENEMIES FIGURE COLOUR CHECK)"},
        {7, "k 300 0 10 00000000", "line 8: not an event (k CODE POLLS MS CHECK, c SECONDS or e CALLS MS CHECK)"},
        {8, "c -5", "line 9: not an event (k CODE POLLS MS CHECK, c SECONDS or e CALLS MS CHECK)"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> changed = lines;
        changed[c.line] = c.text;
        EXPECT_EQ(ParseRecording(Joined(changed), recording, why), c.why.empty()) << c.text;
        if (!c.why.empty()) {
            EXPECT_EQ(why, c.why);
        }
    }
    std::vector<std::string> offScreen = lines;
    std::istringstream words(lines[3]);
    std::vector<std::string> hero;
    for (std::string word; words >> word;) hero.push_back(word);
    hero[21] = "59";  // the column: the hero two cells wide would leave the screen
    std::string line;
    for (const std::string& word : hero) line += (line.empty() ? "" : " ") + word;
    offScreen[3] = line;
    EXPECT_FALSE(ParseRecording(Joined(offScreen), recording, why));
    EXPECT_EQ(why, "line 4: not a hero line (hero NAME and 25 numbers, each within its field)");

    std::vector<std::string> afterEnd = lines;
    afterEnd.push_back("c 1700000000");
    EXPECT_FALSE(ParseRecording(Joined(afterEnd), recording, why));
    EXPECT_EQ(why, "line " + std::to_string(afterEnd.size()) + ": an event after the end");
}

// A full disk while recording: the game goes on, says once why the recording
// stopped (below the game and after exit), and writes nothing more.
TEST(RecordingTest, AFailedWriteStopsTheRecordingNotTheGame) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    HeadlessReset(CHESSRPG_DATA_DIR);
    ResetGameState();
    StartGame();
    BeginRecording(full, false);
    const std::string said = std::string(kTextRecordingFailed) + "No space left on device";
    EXPECT_EQ(HeadlessHint(), said);
    EXPECT_EQ(HeadlessLeftLines(), std::vector<std::string>{said});
    HeadlessPushArrow(KeyRight);
    HeadlessPushArrow(KeyRight);
    try {
        for (;;) MainLoopPass();
    } catch (const HeadlessStop&) {
    }
    EXPECT_EQ(HeadlessKeysLeft(), 0u);
    EXPECT_EQ(HeadlessLeftLines().size(), 1u);
    std::fclose(full);
    ResetGameState();
}

// Watched, a replay keeps the recording's pace: the player's pauses and the
// game's sleeps take as long as they did. Faster, they shrink; paused, the
// time passes without the game going on.
TEST(RecordingTest, AWatchedReplayKeepsThePaceAtTheViewersSpeed) {
    const std::string text = Stored("battle_lost");
    Recording recording;
    std::string why;
    ASSERT_TRUE(ParseRecording(text, recording, why)) << why;
    const long long recordedMs = recording.events.back().ms;
    auto watch = [&recording](std::initializer_list<int> controls, std::string& hint) {
        HeadlessReset(CHESSRPG_DATA_DIR);
        ResetGameState();
        for (int code : controls) HeadlessPushKey(code);
        ReplaySettings settings;
        settings.texts = ReplayTextsOfTheGame();
        settings.exitAtStop = true;
        try {
            BeginReplay(recording, settings);
            MainLoop();
        } catch (const HeadlessStop&) {
        }
        hint = HeadlessHint();
        EXPECT_EQ(JournalReplayOutcome().state, ReplayOutcome::kEnded) << JournalReplayOutcome().why;
        return HeadlessMilliseconds();
    };
    std::string hint;
    long long normal = watch({}, hint);
    EXPECT_GE(normal, recordedMs - 100);
    EXPECT_LE(normal, recordedMs + 100);
    // Right, Up, Right, Right: four speeds up, sixteen times as fast.
    long long fast = watch({224, KeyRight, 224, KeyUp, 224, KeyRight, 224, KeyRight}, hint);
    EXPECT_LT(fast, normal / 8);
    EXPECT_EQ(hint, Sjis("再生中 ×16　　Space 止める/続ける　　→↑ 速く　　←↓ 遅く　　Ctrl+C 終わる"));
    ResetGameState();
}

}  // namespace
