// record_journeys DATA_DIR OUT_DIR: the scripted player plays the journeys of
// tests/recordings on the data tree and writes each recording to OUT_DIR as
// NAME.rec, then replays it to make sure it plays back to its end. `make
// recordings` runs it on the shipped world after a change of the game or the
// data makes the stored ones part from it. Exit status 1 when a journey fails.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/recordings/journey_runs.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: record_journeys DATA_DIR OUT_DIR\n");
        return 2;
    }
    int failures = 0;
    for (JourneyPlan& plan : ShippedJourneyPlans(argv[1])) {
        std::string why;
        const std::string text = RecordJourney(plan, why);
        ReplayOutcome outcome = text.empty() ? ReplayOutcome{} : ReplayJourney(text, argv[1]);
        if (text.empty() || outcome.state != ReplayOutcome::kEnded) {
            std::fprintf(stderr, "%s: %s\n", plan.name.c_str(), text.empty() ? why.c_str() : outcome.why.c_str());
            ++failures;
            continue;
        }
        const std::string path = std::string(argv[2]) + "/" + plan.name + ".rec";
        std::ofstream out(path, std::ios::binary);
        out << text;
        out.close();
        if (!out) {
            std::fprintf(stderr, "%s: cannot write %s\n", plan.name.c_str(), path.c_str());
            ++failures;
            continue;
        }
        std::printf("%-14s %6lld keys  %s of play  %7zu bytes  %ld battles (%ld won, %ld lost, %ld fled), level %d\n",
                    plan.name.c_str(), outcome.key, RecordingTime(outcome.ms).c_str(), text.size(),
                    plan.player.watch.battles, plan.player.watch.won, plan.player.watch.lost,
                    plan.player.watch.fled, plan.player.watch.level);
    }
    return failures == 0 ? 0 : 1;
}
