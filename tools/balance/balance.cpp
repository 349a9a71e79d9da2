// make balance: the scripted player plays the shipped world as a person would
// (one key about every 0.4 s of virtual time) and the run prints what the
// world's balance comes to: the journey's levels and times, the defeats on each
// screen, the length of the battles and the chances of flight.
//
//   balance [--seed N] [--journeys N] [--trials N] [--key-ms N] [--screen N]
//           [--quick] [--trace] [--data DIR]
//
// --screen fights the trials of that screen only; --quick plays one journey
// of 20 minutes and one trial a screen (the run make test makes); --trace
// lists every battle of the journeys and of the trials as well; --data plays
// another data tree than the shipped one.
//
// The same seed gives the same table: every battle's random numbers come from
// the virtual clock, which starts at the seed's seconds.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/balance/balance_runs.h"
#include "tools/balance/balance_table.h"

namespace {

struct Options {
    std::string dataRoot = CHESSRPG_DATA_DIR;
    long long seed = 1700000000;
    int journeys = 3;
    int trials = 20;
    long long keyMs = 400;
    long long journeyLimitMs = 8LL * 3600 * 1000;
    int screen = 0;  // 0: every screen
    bool trace = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--quick") {
            options.journeys = 1;
            options.trials = 1;
            options.journeyLimitMs = 20LL * 60 * 1000;
            continue;
        }
        if (option == "--trace") {
            options.trace = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        if (option == "--data") {
            options.dataRoot = argv[++i];
            continue;
        }
        char* end = nullptr;
        long long value = std::strtoll(argv[++i], &end, 10);
        if (*end != '\0' || value < 0) return false;
        if (option == "--seed") {
            options.seed = value;
        } else if (option == "--journeys" && value >= 1 && value <= 100) {
            options.journeys = static_cast<int>(value);
        } else if (option == "--trials" && value >= 1 && value <= 10000) {
            options.trials = static_cast<int>(value);
        } else if (option == "--key-ms" && value <= 10000) {
            options.keyMs = value;
        } else if (option == "--screen" && value >= 1 && value <= kScreenCount) {
            options.screen = static_cast<int>(value);
        } else {
            return false;
        }
    }
    return true;
}

constexpr int kFleeTries = 3;  // flights tried in each battle of the flight trials

int MedianLevel(const std::vector<Journey>& journeys, int screen) {
    std::vector<double> levels;
    for (const Journey& j : journeys) {
        if (j.arrivalMs[screen] >= 0) levels.push_back(j.arrivalLevel[screen]);
    }
    return levels.empty() ? 0 : static_cast<int>(SpreadOf(levels).median);
}

// Every trial of one screen: the journeys' moments of first arrival taken in
// turn, and the moments three levels earlier for the rushing player.
ScreenTrials TrialsOf(int screen, const std::vector<Journey>& journeys, const Options& options) {
    ScreenTrials trials;
    trials.screen = screen;
    trials.level = MedianLevel(journeys, screen);
    trials.rushLevel = trials.level > 3 ? trials.level - 3 : 0;
    PlayStyle style;
    style.dataRoot = options.dataRoot;
    style.keyIntervalMs = options.keyMs;
    PlayStyle noItems = style;
    noItems.useItems = false;
    PlayStyle fleeing = style;
    fleeing.fleeFirst = kFleeTries;
    auto append = [](std::vector<PlayedBattle>& to, const std::vector<PlayedBattle>& from) {
        to.insert(to.end(), from.begin(), from.end());
    };
    for (int t = 0; t < options.trials; ++t) {
        const Journey& journey = journeys[t % journeys.size()];
        const GameSnapshot& arrival = journey.atArrival[screen];
        if (!arrival.taken) continue;
        // The variants of one trial share their seconds, so that they differ
        // only in how the player plays.
        long long seconds = options.seed + 1000000 + (screen * 10000LL + t) * 3600;
        append(trials.played, FightScreen(arrival, screen, style, seconds));
        append(trials.withoutItems, FightScreen(arrival, screen, noItems, seconds));
        append(trials.fleeing, FightScreen(arrival, screen, fleeing, seconds));
        GameSnapshot whole = arrival;
        for (int kind = kPawn; kind <= kRook; ++kind) {
            for (int16_t& slot : whole.kinds[kind].hp) slot = static_cast<int16_t>(whole.kinds[kind].maxHp);
        }
        append(trials.wholeHp, FightScreen(whole, screen, style, seconds));
        int rush = journey.arrivalLevel[screen] - 3;
        if (trials.rushLevel > 0 && rush >= 1 && journey.atLevel[rush].taken) {
            append(trials.rushing, FightScreen(journey.atLevel[rush], screen, style, seconds));
        }
    }
    return trials;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: balance [--seed N] [--journeys N] [--trials N] [--key-ms N] [--screen N] "
                             "[--quick] [--trace] [--data DIR]\n");
        return 2;
    }
    std::printf("Balance of the shipped world: seed %lld, %d journeys, %d trials a screen, a key every %lld ms "
                "of virtual time\n\n",
                options.seed, options.journeys, options.trials, options.keyMs);
    PlayStyle style;
    style.dataRoot = options.dataRoot;
    style.keyIntervalMs = options.keyMs;
    std::vector<Journey> journeys;
    for (int j = 0; j < options.journeys; ++j) {
        journeys.push_back(PlayJourney(style, options.seed + j * 100003LL, options.journeyLimitMs));
    }
    PrintJourneys(stdout, journeys);
    if (options.trace) {
        for (std::size_t j = 0; j < journeys.size(); ++j) {
            PrintBattles(stdout, ("journey " + std::to_string(j + 1)).c_str(), journeys[j].battles);
        }
    }
    std::printf("\n");

    std::vector<ScreenTrials> screens;
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        if (options.screen != 0 && screen != options.screen) continue;
        ScreenTrials trials = TrialsOf(screen, journeys, options);
        if (!trials.played.empty()) screens.push_back(trials);
    }
    if (options.trace) {
        for (const ScreenTrials& trials : screens) PrintBattles(stdout, "trial", trials.played);
    }
    PrintScreens(stdout, screens);
    std::printf("\n");
    PrintLengths(stdout, screens);
    std::printf("\n");
    PrintFlight(stdout, screens);
    for (const Journey& j : journeys) {
        if (!j.failure.empty() && j.failure.find("no fifth ability") == std::string::npos) return 1;
    }
    return 0;
}
