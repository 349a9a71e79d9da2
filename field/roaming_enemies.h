// The enemy figures of the current screen closing in on the hero, and the
// encounter that starts a battle when one of them reaches him.
#pragma once

#include <cstdint>

// Result of one move and of a whole step.
enum EnemyStepResult {
    kEnemyBlocked = 0,      // nothing changed
    kEnemyMoved = 1,        // moved, or nothing to do
    kEnemyFoughtHero = 2,   // reached the hero; the battle has been fought
};

// One step of a figure toward the hero: at most two moves, horizontal first,
// each after a pause in which the hero can walk. x and y are the figure's
// entry in the table.
int StepRoamingEnemy(int kind, int32_t& x, int32_t& y, int groupSize);

// True when a figure at (x, y) has a step to take: it does not stand on the
// hero's own cell (where a step has nothing to do and takes no time).
bool FigureHasAStep(int32_t x, int32_t y);
// True when some live figure of the screen has a step to take.
bool AnyFigureHasAStep();

// One move of a figure; kEnemyBlocked, kEnemyMoved or kEnemyFoughtHero.
int StepEnemyUp(int kind, int32_t& x, int32_t& y, int groupSize);
int StepEnemyDown(int kind, int32_t& x, int32_t& y, int groupSize);
int StepEnemyLeft(int kind, int32_t& x, int32_t& y, int groupSize);
int StepEnemyRight(int kind, int32_t& x, int32_t& y, int groupSize);

// The walk test of a figure at (x, y) for an arrow's key code: true when free.
bool CheckEnemyStep(int key, int x, int y);
// True when a figure at (x, y) stands on the hero's row within one column of him.
bool TouchesHero(int x, int y);

// About 130 ms in which waiting keys move the hero. False when the hero left
// the screen meanwhile: the step in progress then ends.
bool EnemyPause();

// The two full-screen transitions of an encounter, 600 ms each.
void EncounterWipeIn();
void EncounterWipeOut();
