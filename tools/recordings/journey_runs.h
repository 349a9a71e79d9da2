// Journeys recorded and replayed on the headless backend: the recordings of
// tests/recordings are made here by the scripted player (record_journeys,
// `make recordings`), and the tests and the benchmark replay them.
#pragma once

#include <string>

#include "platform/journal.h"
#include "tests/scripted_player.h"

// What is recorded: where the journey begins and how it is played.
struct JourneyPlan {
    std::string name;           // the recording's file name, without ".rec"
    std::string dataRoot;       // the data tree
    long long seconds = 1700000000;  // the wall clock at the start
    bool noEnemies = false;     // a trial run without enemies
    int screen = 0;             // a trial run's start: screen (0: the map header's), column, row
    int column = 0;
    int row = 0;
    // The player; `done` says when the journey has shown what it is for.
    ScriptedPlayer player;
    bool (*done)(const ScriptedPlayer& player) = nullptr;
    long long limitMs = 3600 * 1000;  // the journey ends here at the latest
    bool record = true;         // false: the same play, not recorded (to measure what recording costs)
};

// Plays the journey and returns its recording (ended as by the player's Ctrl+C);
// "" with `why` when the play failed (or was not recorded).
std::string RecordJourney(JourneyPlan& plan, std::string& why);

// Replays a recording's text on the data tree at once; the outcome, or kParted
// with `why` when it cannot even begin (not a recording, another tree).
ReplayOutcome ReplayJourney(const std::string& text, const std::string& dataRoot);

// The plans of the recordings in tests/recordings, on the data tree given.
std::vector<JourneyPlan> ShippedJourneyPlans(const std::string& dataRoot);
