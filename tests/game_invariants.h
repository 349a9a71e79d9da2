// What must hold whenever the running game looks for a key, checked by the soak
// and the scripted player from inside the key source.
//
// The key source is asked only by the game's key polls: the main loop, an enemy's
// pause, the battle's four menu loops (commands, target, abilities, items), the
// confirm wait, the typing of a message and the level-up's experience count. No
// animation that moves panelColumn or viewColumn (command boxes, banners) and no
// count-down of the hero's HP (enemy hit, potion) polls the keyboard, so at every
// poll those are at rest: the invariants below hold at every single poll unless a
// line says otherwise.
#pragma once

#include <cstdint>
#include <string>

struct InvariantWatch {
    bool baseKnown = false;
    int baseAttack = 0;   // attack without the bonus of the boosts in force
    int baseDefense = 0;
    int level = 0;        // the level when the bases were last taken
    bool inBattle = false;
    // The battle as last seen at a poll inside it, to tell how it ended.
    int lastGroupSize = 0;
    int lastDefeated = 0;
    int lastHp = 0;
    long battles = 0, won = 0, lost = 0, fled = 0;
    int boostsInForce = 0;
    long boostsStarted = 0;
    long levelUps = 0;
    long polls = 0;
};

// True while a battle runs: from its start (enemiesLeft set) to its reset.
bool InBattle();

// Checks every invariant at a key poll; "" when all hold, else what failed.
std::string CheckAtPoll(InvariantWatch& watch);

// Checks what must hold between two passes of the main loop, on the field:
// no battle in progress and its state wholly reset.
std::string CheckBetweenPasses(InvariantWatch& watch);

// Battles, outcomes, level-ups and boosts seen so far, for a test's output.
std::string Summary(const InvariantWatch& watch);
