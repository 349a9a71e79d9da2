// recording_bench DATA_DIR: what recordings cost. The scripted player plays an
// hour of the shipped world at a person's pace on the headless backend, once
// recorded and once not: the difference per key is what recording adds to the
// way from a key to the screen (the check of the state, the hash of what was
// drawn, the line written and flushed to a file). Then the hour's recording
// is replayed headless, and its size is an hour's.
#include <chrono>
#include <cstdio>
#include <string>

#include "game/recording.h"
#include "platform/headless.h"
#include "tools/recordings/journey_runs.h"

namespace {

constexpr long long kHourMs = 3600LL * 1000;

bool AnHourPlayed(const ScriptedPlayer&) { return HeadlessMilliseconds() >= kHourMs; }

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The best of three plays of the hour, in seconds; the recording of the last.
double PlayTheHour(const std::string& data, bool record, std::string& text) {
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        JourneyPlan plan;
        plan.dataRoot = data;
        plan.player.journey = true;
        plan.player.keyIntervalMs = 300;
        plan.player.stopAtFifthAbility = false;
        plan.player.battleLimit = 1000000;
        plan.done = AnHourPlayed;
        plan.limitMs = 2 * kHourMs;
        plan.record = record;
        std::string why;
        auto start = std::chrono::steady_clock::now();
        text = RecordJourney(plan, why);
        double took = Seconds(start);
        if (record && text.empty()) std::fprintf(stderr, "the hour was not recorded: %s\n", why.c_str());
        if (took < best) best = took;
    }
    return best;
}

// What recording does at each key, alone: the check of the game's state, the
// line formatted, written and flushed to a file on disk. Milliseconds a key.
double KeyWorkMs(long long keys) {
    std::FILE* file = std::tmpfile();
    if (!file) return -1;
    auto start = std::chrono::steady_clock::now();
    for (long long i = 0; i < keys; ++i) {
        JournalEvent event;
        event.value = 77;
        event.count = i % 20;
        event.ms = i * 250;
        event.check = JourneyCheck();
        std::fputs((FormatJournalEvent(event) + "\n").c_str(), file);
        std::fflush(file);
    }
    double took = Seconds(start);
    std::fclose(file);
    return took * 1000 / static_cast<double>(keys);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: recording_bench DATA_DIR\n");
        return 2;
    }
    std::string text, unused;
    const double plain = PlayTheHour(argv[1], false, unused);
    const double recorded = PlayTheHour(argv[1], true, text);
    if (text.empty()) return 1;
    long long keys = 0;
    for (std::size_t at = 0; (at = text.find("\nk ", at)) != std::string::npos; ++at) ++keys;
    auto start = std::chrono::steady_clock::now();
    ReplayOutcome outcome = ReplayJourney(text, argv[1]);
    const double replay = Seconds(start);
    if (outcome.state != ReplayOutcome::kEnded) std::fprintf(stderr, "the replay parted: %s\n", outcome.why.c_str());
    std::printf("an hour of play: %lld keys, %zu bytes; played in %.3f s unrecorded, %.3f s recorded; replayed in %.3f s\n",
                keys, text.size(), plain, recorded, replay);
    // The whole play's difference is within the shared machine's noise; the
    // key's own work is measured alone.
    std::printf("whole play, recorded less unrecorded: %.4f ms a key\n", (recorded - plain) * 1000 / static_cast<double>(keys));
    const double keyMs = KeyWorkMs(keys);
    std::printf("row\trecording: added per key\t%.4f ms\t%.4f ms\t\t<= 0.05 ms\t%s\n", keyMs,
                plain * 1000 / static_cast<double>(keys), keyMs >= 0 && keyMs <= 0.05 ? "yes" : "no");
    std::printf("row\treplay of an hour, headless\t%.0f ms\t%.0f ms\t\t< 1000 ms\t%s\n", replay * 1000, recorded * 1000,
                replay < 1 && outcome.state == ReplayOutcome::kEnded ? "yes" : "no");
    std::printf("row\trecording of an hour\t%.0f KiB\t\t\t\t\n", static_cast<double>(text.size()) / 1024);
    return 0;
}
