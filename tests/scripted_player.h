// A player in code for the headless backend: it plays the shipped game as a
// person would. On the field it walks toward the nearest figure it can beat and
// waits beside its row for it to come; once a screen holds nothing it can beat,
// it walks to the screen where the most experience is to be had (on a journey,
// to a new screen once it is at ease with those it has seen, the King's and
// then the Queen's last). In battle it fights with its strongest ability, uses
// a potion or a boost when it pays for the turn it takes, and flees from a
// group it cannot beat when flight has a chance. Every invariant of
// game_invariants.h is checked at each of its key polls.
#pragma once

#include <string>
#include <vector>

#include "field/world_map.h"
#include "tests/game_invariants.h"

struct PlannedStep {
    int key;                 // scan code of the arrow
    int screen, x, y;        // where the hero stands before it
};

// One battle as the player saw it.
struct PlayedBattle {
    int kind = 0;            // kind number: 1 Pawn, 2 Knight, 3 Bishop, 4 Rook
    int group = 0;
    int screen = 0;
    int level = 0;           // the hero's level at its start
    long long startMs = 0;   // the player's first key poll inside it
    long long endMs = 0;     // the first poll after it
    char outcome = 0;        // 'w' won, 'l' lost, 'f' fled
    int potions = 0;         // items used
    int boosts = 0;
    int fleeTries = 0;       // flights tried, the one that got away included
    int turns = 0;           // actions of both sides, as last seen inside it
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
    int hpAtStart = 0;

    // How it plays.
    long long keyIntervalMs = 0;     // at least this long between two keys (0: at every poll)
    bool useItems = true;            // potions and boosts
    int fleeFirst = 0;               // tries to flee this many times in a battle before it plays on
    bool journey = false;            // explores screen by screen, the King's and the Queen's last
    bool explore = false;            // on a journey, goes on to a new screen at once (a walk)
    bool visited[kScreenCount + 1] = {};  // screens it has stood on, by number
    int startScreen = 0;
    long long lastKeyMs = -1;

    // Each battle, appended as it ends, when set.
    std::vector<PlayedBattle>* played = nullptr;
    bool inBattle = false;
    PlayedBattle current;
    long wonBefore = 0, lostBefore = 0, fledBefore = 0;
    int itemsAtStart[3] = {};
    bool fleeFailShown = false;      // the log shows a failed flight
};

// The key the player presses at this poll (-1: none now). Throws HeadlessStop
// once the fifth ability has been seen listed, when an invariant fails (the
// failure is kept) or past the battle limit.
int PlayerKey(ScriptedPlayer& player);

// Takes note of the battle that has just ended, for a caller that runs a
// battle by itself: the player would otherwise see its end only at its next
// poll. The invariants are checked as at a poll.
void PlayerAfterBattle(ScriptedPlayer& player);
