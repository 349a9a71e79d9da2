// The balance run's figures and the table it prints.
#pragma once

#include <cstdio>
#include <vector>

#include "tools/balance/balance_runs.h"

// The middle and the spread of some values: the median (the mean of the two
// middle values when their number is even), the 95th percentile (the value at
// rank ceil(0.95 n) in rising order) and the largest.
struct Spread {
    int count = 0;
    double median = 0;
    double p95 = 0;
    double worst = 0;
};
Spread SpreadOf(std::vector<double> values);

// Battle lengths in seconds.
std::vector<double> Seconds(const std::vector<PlayedBattle>& battles);

// Their turn counts (the actions of both sides).
std::vector<double> Turns(const std::vector<PlayedBattle>& battles);

// The share of the battles with that outcome, in percent (0 for none).
double PercentWith(const std::vector<PlayedBattle>& battles, char outcome);

// The battles fought from one screen's first arrival: every group of the
// screen in turn, in each trial.
struct ScreenTrials {
    int screen = 0;
    int level = 0;      // the median first-arrival level of the journeys
    int rushLevel = 0;  // the level of the rushing player (0: none)
    std::vector<PlayedBattle> played;        // as the player plays
    std::vector<PlayedBattle> withoutItems;  // the same, never using an item
    std::vector<PlayedBattle> wholeHp;       // the same with every enemy HP slot whole, as in a continued game
    std::vector<PlayedBattle> rushing;       // from the journeys' moments three levels earlier
    std::vector<PlayedBattle> fleeing;       // trying to flee at the first commands
};

// One line for each battle, each headed by `label`.
void PrintBattles(std::FILE* out, const char* label, const std::vector<PlayedBattle>& battles);
void PrintJourneys(std::FILE* out, const std::vector<Journey>& journeys);
void PrintScreens(std::FILE* out, const std::vector<ScreenTrials>& screens);
void PrintLengths(std::FILE* out, const std::vector<ScreenTrials>& screens);
void PrintFlight(std::FILE* out, const std::vector<ScreenTrials>& screens);
