// A player in code for the headless backend: it plays the shipped game as a
// person would. On the field it walks toward the nearest figure it can beat and
// waits beside its row for it to come; once a screen holds nothing it can beat,
// it walks to the screen where the most experience is to be had. In battle it
// fights with its strongest ability, drinks a potion when its HP runs low and
// flees from a group it cannot beat. Every invariant of game_invariants.h is
// checked at each of its key polls.
#pragma once

#include <string>
#include <vector>

#include "tests/game_invariants.h"

struct PlannedStep {
    int key;                 // scan code of the arrow
    int screen, x, y;        // where the hero stands before it
};

struct ScriptedPlayer {
    InvariantWatch watch;
    std::string failure;     // the first invariant that failed, or why play stopped
    int pendingScan = -1;    // the second code of an arrow already begun
    long long nextStepMs = 0;
    long long waitingSinceMs = -1;
    int lastKey = -1;
    long long writesAfterLastKey = -1;
    int stalls = 0;
    unsigned randomState = 12345;
    std::vector<PlannedStep> route;  // toward goalScreen
    int goalScreen = 0;
    bool sawFifthAbility = false;    // the ability list drawn with its fifth line
    bool stopAtFifthAbility = true;
    long long battleLimit = 5000;
    long screenChanges = 0;
    long fleeKeys = 0;               // Enter pressed with the cursor on flee
    int lastScreen = 0;
    bool trace = false;              // one line per battle on standard output
    const char* battleKind = nullptr;
    int battleGroup = 0;
    int hpAtStart = 0;
};

// The key the player presses at this poll (-1: none now). Throws HeadlessStop
// once the fifth ability has been seen listed, when an invariant fails (the
// failure is kept) or past the battle limit.
int PlayerKey(ScriptedPlayer& player);
