// Key latency, start-up and pacing of the real program, measured through a
// pseudo-terminal that this program drives as a terminal would: it answers
// the game's cursor position request at once, reads everything the game
// writes as it comes, and keeps a model of the screen so that a measure ends
// the moment a given cell shows a given character. Each figure is printed
// beside a reference taken the same way in the same run.
//
// Usage: pty_bench BUILD_DIR DATA_DIR
// Prints "row" lines (tab-separated: measure, ours, reference, ratio, goal,
// met) for the table of make bench; every other line is detail.
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "tools/bench/pty_session.h"
#include "tools/bench/scenes.h"
#include "tools/bench/scratch_data.h"

namespace {

constexpr int kColumns = 80;
constexpr int kRows = 30;
constexpr int kKeyCount = 200;
constexpr int kStartRuns = 20;
constexpr int kPacingRuns = 3;
constexpr double kLatencyGoalMs = 2.0;
constexpr double kStartGoalMs = 20.0;
constexpr double kDriftGoalPercent = 5.0;

const std::string kHeroGlyph = "\xe2\x97\x8f";  // ●
// A shell that puts its terminal in raw mode, says so, and becomes cat: each
// byte typed comes straight back, which is the terminal's own share of a key.
const std::vector<std::string> kRawCat = {"/bin/sh", "-c", "stty raw -echo && printf R && exec cat"};
// A program that starts, prints a line and ends: the share of fork and exec.
const std::vector<std::string> kEcho = {"/bin/echo", "ready"};

using std::chrono::milliseconds;
using std::chrono::seconds;

struct Summary {
    std::size_t count = 0;
    double min = 0;
    double median = 0;
    double mean = 0;
    double p99 = 0;
    double max = 0;
};

// Nearest-rank statistics of the samples.
Summary Summarize(std::vector<double> samples) {
    Summary summary;
    if (samples.empty()) return summary;
    std::sort(samples.begin(), samples.end());
    auto rank = [&](double fraction) {
        std::size_t index = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
        return samples[std::min(samples.size(), std::max<std::size_t>(index, 1)) - 1];
    };
    summary.count = samples.size();
    summary.min = samples.front();
    summary.median = rank(0.5);
    summary.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(samples.size());
    summary.p99 = rank(0.99);
    summary.max = samples.back();
    return summary;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Ms(double value) { return Format(value < 10 ? "%.2f ms" : "%.1f ms", value); }

std::string Ratio(double ours, double reference) {
    return reference > 0 ? Format("%.1f×", ours / reference) : "-";
}

void PrintRow(const std::string& measure, const std::string& ours, const std::string& reference,
              const std::string& ratio, const std::string& goal, const std::string& met) {
    std::printf("row\t%s\t%s\t%s\t%s\t%s\t%s\n", measure.c_str(), ours.c_str(), reference.c_str(), ratio.c_str(),
                goal.c_str(), met.c_str());
}

void PrintFailedRow(const std::string& measure, const std::string& goal) {
    PrintRow(measure, "failed", "-", "-", goal, "no");
}

void PrintSummary(const std::string& what, const Summary& s) {
    std::printf("%s: %zu samples, min %.3f, median %.3f, mean %.3f, p99 %.3f, max %.3f ms\n", what.c_str(), s.count,
                s.min, s.median, s.mean, s.p99, s.max);
}

const char* Met(bool met) { return met ? "yes" : "no"; }

// A pause of 20 to 50 ms before key i, varied so that keys arrive at every
// point of the game's 20 ms wait for input.
milliseconds PauseBeforeKey(int i) { return milliseconds(20 + (i * 17) % 31); }

bool ShowsAt(const ScreenModel& screen, int row, int column, const std::string& text) {
    return ScreenText(screen, row, column, column + 1) == text;
}

// Starts the program on the data tree and waits for its first field frame to
// be complete: every cell as the game's own drawing of it (run headless)
// shows it. Returns the time that took from the fork, or -1.
double LaunchGame(PtySession& game, const std::string& program, const std::string& data, const FieldStart& start,
                  double* firstOutputMs = nullptr, double* reportMs = nullptr) {
    auto forked = BenchClock::now();
    if (!StartInPty(game, {program}, data, kColumns, kRows)) return -1;
    BenchClock::time_point first{};
    BenchClock::time_point complete{};
    auto anything = [](const PtySession& s) { return s.bytesRead > 0; };
    auto whole = [&start](const PtySession& s) { return SameScreenText(s.screen, start.frame); };
    if (!WaitForScreen(game, anything, forked + seconds(5), first)) return -1;
    if (!WaitForScreen(game, whole, forked + seconds(5), complete)) return -1;
    if (firstOutputMs != nullptr) *firstOutputMs = Milliseconds(forked, first);
    if (reportMs != nullptr) *reportMs = game.replies > 0 ? Milliseconds(forked, game.lastReply) : -1;
    return Milliseconds(forked, complete);
}

// Says which cell of the terminal differs from the expected frame.
void ExplainMissingFrame(const PtySession& game, const FieldStart& start) {
    int row = 0;
    int column = 0;
    if (!FirstDifference(game.screen, start.frame, row, column)) return;
    std::printf("  first difference at row %d, column %d:\n  shown:    \"%s\"\n  expected: \"%s\"\n", row, column,
                ScreenRowText(game.screen, row).c_str(), ScreenRowText(start.frame, row).c_str());
}

// Key i to the game: an arrow that walks the hero right (even i) or back
// left, timed from its writing to the hero's ● showing in his new cell.
bool KeyRound(PtySession& game, const FieldStart& start, int i, std::vector<double>& samples) {
    bool right = i % 2 == 0;
    int target = right ? start.steppedX : start.heroX;
    PumpUntil(game, BenchClock::now() + PauseBeforeKey(i));
    if (ShowsAt(game.screen, start.heroY, target, kHeroGlyph)) {
        std::printf("key %d: the hero is already in column %d\n", i, target);
        return false;
    }
    auto sent = BenchClock::now();
    SendKeys(game, right ? "\x1b[C" : "\x1b[D");
    BenchClock::time_point shown{};
    auto moved = [&](const PtySession& s) { return ShowsAt(s.screen, start.heroY, target, kHeroGlyph); };
    if (!WaitForScreen(game, moved, sent + seconds(2), shown)) {
        std::printf("key %d: the hero did not reach column %d within 2 s\n", i, target);
        return false;
    }
    samples.push_back(Milliseconds(sent, shown));
    return true;
}

// Byte i to cat: a carriage return and a letter, timed until the letter
// shows in the top-left cell.
bool EchoRound(PtySession& cat, int i, std::vector<double>& samples) {
    std::string letter(1, i % 2 == 0 ? 'a' : 'b');
    PumpUntil(cat, BenchClock::now() + PauseBeforeKey(i));
    auto sent = BenchClock::now();
    SendKeys(cat, "\r" + letter);
    BenchClock::time_point shown{};
    auto echoed = [&letter](const PtySession& s) { return ShowsAt(s.screen, 0, 0, letter); };
    if (!WaitForScreen(cat, echoed, sent + seconds(2), shown)) {
        std::printf("cat: byte %d did not come back within 2 s\n", i);
        return false;
    }
    samples.push_back(Milliseconds(sent, shown));
    return true;
}

bool StartRawCat(PtySession& cat, const std::string& folder) {
    BenchClock::time_point ready{};
    auto said = [](const PtySession& s) { return ShowsAt(s.screen, 0, 0, "R"); };
    return StartInPty(cat, kRawCat, folder, kColumns, kRows) &&
           WaitForScreen(cat, said, BenchClock::now() + seconds(5), ready);
}

bool MeasureKeyLatency(const std::string& program, const std::string& shipped) {
    const std::string medianRow = "key to screen, median";
    const std::string p99Row = "key to screen, 99th percentile";
    const std::string goal = "≤ " + Format("%.0f", kLatencyGoalMs) + " ms";
    ScratchData scratch;
    std::string error;
    FieldStart start;
    if (!MakeScratchData(scratch, shipped, error) || !ClearPlacements(scratch, error) ||
        !HeadlessFieldStart(scratch.data, kColumns, kRows, start, error)) {
        std::printf("key latency not measured: %s\n", error.c_str());
        PrintFailedRow(medianRow, goal);
        return false;
    }
    std::printf("key latency: %d arrow keys, right and left between columns %d and %d of row %d, on a field "
                "without roaming enemies, 20 to 50 ms apart; by turns with as many bytes through cat\n",
                kKeyCount, start.heroX, start.steppedX, start.heroY);

    PtySession game;
    PtySession cat;
    bool walked = LaunchGame(game, program, scratch.data, start) >= 0;
    if (!walked) {
        std::printf("the first field frame did not come\n");
        ExplainMissingFrame(game, start);
    }
    bool echoed = StartRawCat(cat, scratch.root);
    if (!echoed) std::printf("cat in raw mode did not start\n");
    PumpUntil(game, BenchClock::now() + milliseconds(300));  // let the game settle into waiting
    // Key and byte by turns, so that both meet the same load on the machine.
    std::vector<double> toHero;
    std::vector<double> echoes;
    for (int i = 0; i < kKeyCount && walked; ++i) {
        walked = KeyRound(game, start, i, toHero);
        echoed = echoed && EchoRound(cat, i, echoes);
    }
    StopInPty(game);
    StopInPty(cat);

    if (!walked) {
        PrintFailedRow(medianRow, goal);
        return false;
    }
    Summary ours = Summarize(toHero);
    Summary reference = Summarize(echoes);
    PrintSummary("key to hero shown (game)", ours);
    if (echoed) PrintSummary("byte to its echo (cat in raw mode)", reference);
    PrintRow(medianRow, Ms(ours.median), echoed ? Ms(reference.median) : "-",
             echoed ? Ratio(ours.median, reference.median) : "-", goal, Met(ours.median <= kLatencyGoalMs));
    PrintRow(p99Row, Ms(ours.p99), echoed ? Ms(reference.p99) : "-", echoed ? Ratio(ours.p99, reference.p99) : "-",
             "-", "-");
    return true;
}

// Fork to the line of /bin/echo shown; -1 when it did not show.
double EchoStart(const std::string& folder) {
    PtySession echo;
    auto forked = BenchClock::now();
    BenchClock::time_point shown{};
    auto printed = [](const PtySession& s) { return ScreenRowText(s.screen, 0) == "ready"; };
    bool ok = StartInPty(echo, kEcho, folder, kColumns, kRows) &&
              WaitForScreen(echo, printed, forked + seconds(5), shown);
    StopInPty(echo);
    return ok ? Milliseconds(forked, shown) : -1;
}

bool MeasureStartUp(const std::string& program, const std::string& shipped) {
    const std::string row = "start-up to first field frame, median";
    const std::string goal = "≤ " + Format("%.0f", kStartGoalMs) + " ms";
    ScratchData scratch;
    std::string error;
    FieldStart start;
    if (!MakeScratchData(scratch, shipped, error) || !HeadlessFieldStart(scratch.data, kColumns, kRows, start, error)) {
        std::printf("start-up not measured: %s\n", error.c_str());
        PrintFailedRow(row, goal);
        return false;
    }
    std::printf("start-up: fork and exec to the first field frame complete (every cell of the terminal as "
                "the game draws it headless), shipped data, %d runs\n",
                kStartRuns);
    // The game and the reference by turns, so that both meet the same load.
    std::vector<double> complete;
    std::vector<double> firstOutput;
    std::vector<double> reports;  // the cursor position request answered
    std::vector<double> echoes;
    for (int run = 0; run < kStartRuns; ++run) {
        PtySession game;
        double first = 0;
        double report = 0;
        double ms = LaunchGame(game, program, scratch.data, start, &first, &report);
        if (ms < 0) {
            std::printf("run %d: the first field frame did not come\n", run);
            ExplainMissingFrame(game, start);
            StopInPty(game);
            PrintFailedRow(row, goal);
            return false;
        }
        StopInPty(game);
        complete.push_back(ms);
        firstOutput.push_back(first);
        if (report >= 0) reports.push_back(report);
        double echoMs = EchoStart(scratch.root);
        if (echoMs >= 0) echoes.push_back(echoMs);
    }
    Summary ours = Summarize(complete);
    Summary reference = Summarize(echoes);
    PrintSummary("fork to first field frame (game)", ours);
    PrintSummary("fork to first output (game)", Summarize(firstOutput));
    PrintSummary("fork to its cursor request answered (game)", Summarize(reports));
    PrintSummary("fork to its line shown (/bin/echo)", reference);
    bool referenced = !echoes.empty();
    PrintRow(row, Ms(ours.median), referenced ? Ms(reference.median) : "-",
             referenced ? Ratio(ours.median, reference.median) : "-", goal, Met(ours.median <= kStartGoalMs));
    return true;
}

// One encounter and flee through the real program; the marks' times are
// milliseconds from the fork.
bool RealPacing(const std::string& program, const std::string& data, PacingMarks& marks) {
    PtySession game;
    auto forked = BenchClock::now();
    if (!StartInPty(game, {program}, data, kColumns, kRows)) return false;
    marks = PacingMarks{};
    bool fleeSent = false;
    auto watch = [&](const PtySession& s) {
        ObservePacing(marks, s.screen, Milliseconds(forked, s.lastRead));
        return AllPacingSeen(marks) || (marks.battleReady >= 0 && !fleeSent);
    };
    BenchClock::time_point when{};
    while (WaitForScreen(game, watch, forked + seconds(30), when) && !AllPacingSeen(marks)) {
        SendKeys(game, kFleeKeys);
        fleeSent = true;
    }
    StopInPty(game);
    return AllPacingSeen(marks);
}

double Drift(double real, double virtualMs) { return (real - virtualMs) / virtualMs * 100.0; }

void PrintPacingDetail(const std::string& measure, const std::vector<double>& real, double virtualMs) {
    Summary s = Summarize(real);
    PrintSummary(measure + ", real", s);
    std::printf("%s: virtual %.0f ms, real median %.1f ms, drift %+.2f %% (min %+.2f %%, max %+.2f %%)\n",
                measure.c_str(), virtualMs, s.median, Drift(s.median, virtualMs), Drift(s.min, virtualMs),
                Drift(s.max, virtualMs));
}

// The real lengths' median beside the planned one: the virtual clock's, or
// (with another label) the backend's own pace.
void PrintPacingRow(const std::string& measure, const std::vector<double>& real, double virtualMs,
                    const char* plannedLabel = "virt.") {
    PrintPacingDetail(measure, real, virtualMs);
    double drift = Drift(Summarize(real).median, virtualMs);
    PrintRow(measure, Ms(Summarize(real).median), Format("%.0f ms ", virtualMs) + plannedLabel, Format("%+.1f %%", drift),
             "within " + Format("%.0f", kDriftGoalPercent) + " %", Met(std::fabs(drift) <= kDriftGoalPercent));
}

bool MeasurePacing(const std::string& program, const std::string& shipped) {
    const std::string wipeRow = "encounter wipes, real (vs virtual)";
    const std::string typingRow = "typed message, " + std::to_string(FleeAnnouncementCharacters()) +
                                  " chars, real (vs virtual)";
    const std::string goal = "within " + Format("%.0f", kDriftGoalPercent) + " %";
    ScratchData scratch;
    std::string error;
    PacingMarks planned;
    if (!MakeScratchData(scratch, shipped, error) || !WriteSmallWorld(scratch, error) ||
        !HeadlessPacing(scratch.data, kColumns, kRows, planned, error)) {
        std::printf("pacing not measured: %s\n", error.c_str());
        PrintFailedRow(wipeRow, goal);
        PrintFailedRow(typingRow, goal);
        return false;
    }
    std::printf("pacing: a Pawn reaches the hero on a small world, the two wipes open the battle, the hero "
                "flees; %d runs. Wipes: from the first wipe frame (■ top left) to the battle screen's first "
                "frame. Typing: \"%s\" (%d characters, %d bytes typed one at a time), from its first "
                "character to the whole of it. Virtual lengths from the same scene on the headless backend.\n",
                kPacingRuns, FleeAnnouncement().c_str(), FleeAnnouncementCharacters(), FleeAnnouncementBytes());
    std::vector<double> wipes;
    std::vector<double> slides;
    std::vector<double> typing;
    for (int run = 0; run < kPacingRuns; ++run) {
        PacingMarks marks;
        if (!RealPacing(program, scratch.data, marks)) {
            std::printf("run %d: the encounter and flee did not show within 30 s\n", run);
            PrintFailedRow(wipeRow, goal);
            PrintFailedRow(typingRow, goal);
            return false;
        }
        std::printf("run %d: wipe at %.1f ms, battle screen at %.1f ms, boxes in at %.1f ms, typing from %.1f "
                    "to %.1f ms\n",
                    run, marks.wipeStarts, marks.battleStarts, marks.boxesIn, marks.fleeTypingStarts,
                    marks.fleeTypingEnds);
        wipes.push_back(marks.battleStarts - marks.wipeStarts);
        slides.push_back(marks.boxesIn - marks.battleStarts);
        typing.push_back(marks.fleeTypingEnds - marks.fleeTypingStarts);
    }
    PrintPacingRow(wipeRow, wipes, planned.battleStarts - planned.wipeStarts);
    PrintPacingRow(typingRow, typing, planned.fleeTypingEnds - planned.fleeTypingStarts);
    // Beyond the goals: the boxes' slide-in pauses 1 ms a frame, where the
    // cost of a frame and the timer's slack would weigh most.
    PrintPacingRow("command boxes slide in, real (vs virtual)", slides, planned.boxesIn - planned.battleStarts);
    return true;
}

// The first figure of the chase world through the real program: the times
// (milliseconds from the fork) at which its first `moves` moves showed.
bool RealChase(const std::string& program, const std::string& data, int moves, std::vector<double>& times) {
    PtySession game;
    auto forked = BenchClock::now();
    if (!StartInPty(game, {program}, data, kColumns, kRows)) return false;
    times.clear();
    int lastColumn = -1;
    auto watch = [&](const PtySession& s) {
        int column = ChaserColumn(s.screen);
        if (column >= 0 && lastColumn >= 0 && column != lastColumn) times.push_back(Milliseconds(forked, s.lastRead));
        if (column >= 0) lastColumn = column;
        return static_cast<int>(times.size()) >= moves;
    };
    BenchClock::time_point when{};
    bool seen = WaitForScreen(game, watch, forked + seconds(30), when);
    StopInPty(game);
    return seen;
}

std::vector<double> Intervals(const std::vector<double>& times) {
    std::vector<double> gaps;
    for (std::size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
    return gaps;
}

// The pause between two moves of one figure, with 1, 2 and 5 figures on the
// screen, each taking one pause a step: the real interval beside the sum of
// the pauses on the headless clock.
bool MeasureEnemyPace(const std::string& program, const std::string& shipped) {
    constexpr int kMoves = 9;  // eight intervals
    bool ok = true;
    std::printf("enemy pace: Pawns close in on the hero on a small world, one pause of 13 x 10 ms a step each; "
                "the intervals between the first %d moves of the one on his row\n",
                kMoves);
    for (int figures : {1, 2, 5}) {
        const std::string row = "enemy pace, " + std::to_string(figures) + (figures == 1 ? " figure" : " figures") +
                                ", real (vs virtual)";
        const std::string goal = "within " + Format("%.0f", kDriftGoalPercent) + " %";
        ScratchData scratch;
        std::string error;
        std::vector<double> planned;
        std::vector<double> real;
        if (!MakeScratchData(scratch, shipped, error) || !WriteChaseWorld(scratch, figures, error) ||
            !HeadlessChase(scratch.data, kColumns, kRows, kMoves, planned, error)) {
            std::printf("enemy pace with %d figures not measured: %s\n", figures, error.c_str());
            PrintFailedRow(row, goal);
            ok = false;
            continue;
        }
        if (!RealChase(program, scratch.data, kMoves, real)) {
            std::printf("enemy pace with %d figures: the moves did not show within 30 s\n", figures);
            PrintFailedRow(row, goal);
            ok = false;
            continue;
        }
        std::vector<double> gaps = Intervals(real);
        std::string shown;
        for (double gap : gaps) shown += Format(" %.1f", gap);
        std::printf("%d figures: intervals (ms):%s\n", figures, shown.c_str());
        PrintPacingRow(row, gaps, Summarize(Intervals(planned)).median);
    }
    return ok;
}

// A step right from column 57 into screen 2, through the real program: when
// the scroll's first and last frames showed, and how many of its 60 frames
// showed at all.
bool MeasureScroll(const std::string& program, const std::string& shipped) {
    const std::string row = "screen change scroll, real (vs planned)";
    ScratchData scratch;
    std::string error;
    if (!MakeScratchData(scratch, shipped, error) || !WriteScrollWorld(scratch, error)) {
        std::printf("scroll not measured: %s\n", error.c_str());
        PrintFailedRow(row, "-");
        return false;
    }
    std::printf("scroll: the hero steps right from column 57 into the next screen; from the scroll's first "
                "frame showing to its last, %d runs\n",
                kPacingRuns);
    std::vector<double> lengths;
    int fewestSeen = 60;
    for (int run = 0; run < kPacingRuns; ++run) {
        PtySession game;
        BenchClock::time_point when{};
        auto field = [](const PtySession& s) { return ScreenCharacter(s.screen, 5, 0) == U'#'; };
        if (!StartInPty(game, {program}, scratch.data, kColumns, kRows) ||
            !WaitForScreen(game, field, BenchClock::now() + seconds(5), when)) {
            std::printf("run %d: the field did not show\n", run);
            StopInPty(game);
            PrintFailedRow(row, "-");
            return false;
        }
        PumpUntil(game, BenchClock::now() + milliseconds(100));
        bool seen[60] = {};
        double first = -1;
        double last = -1;
        auto start = BenchClock::now();
        SendKeys(game, "\x1b[C");
        auto watch = [&](const PtySession& s) {
            int frame = ScrollFrameShown(s.screen);
            if (frame < 0) return false;
            seen[frame] = true;
            if (first < 0) first = Milliseconds(start, s.lastRead);
            if (frame == 59) last = Milliseconds(start, s.lastRead);
            return frame == 59;
        };
        bool ended = WaitForScreen(game, watch, start + seconds(5), when);
        StopInPty(game);
        if (!ended || first < 0) {
            std::printf("run %d: the scroll did not end within 5 s\n", run);
            PrintFailedRow(row, "-");
            return false;
        }
        int count = static_cast<int>(std::count(seen, seen + 60, true));
        fewestSeen = std::min(fewestSeen, count);
        std::string missed;
        for (int frame = 0; frame < 60; ++frame) {
            if (!seen[frame]) missed += " " + std::to_string(frame);
        }
        std::printf("run %d: first frame %.1f ms after the key, last %.1f ms, %d of 60 frames seen%s%s\n", run,
                    first, last, count, missed.empty() ? "" : "; not seen:", missed.c_str());
        lengths.push_back(last - first);
    }
    // The game pauses nowhere in a scroll; the terminal backend shows its 60
    // frames 8 ms apart, so that it shows as a scroll: 59 pauses.
    PrintPacingRow(row, lengths, 59 * 8, "planned");
    PrintRow("  scroll frames seen, fewest of " + std::to_string(kPacingRuns) + " runs",
             std::to_string(fewestSeen) + " of 60", "-", "-", "-", "-");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BUILD_DIR DATA_DIR\n", argv[0]);
        return 2;
    }
    // The game runs in its data folder, so its path must not be relative.
    char build[PATH_MAX];
    if (realpath(argv[1], build) == nullptr) {
        std::fprintf(stderr, "pty_bench: no build folder %s\n", argv[1]);
        return 2;
    }
    const std::string program = std::string(build) + "/chessrpg";
    if (access(program.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "pty_bench: no program at %s\n", program.c_str());
        return 2;
    }
    const std::string shipped = argv[2];
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("program: %s, a %d x %d pseudo-terminal that reports ● one column wide\n", program.c_str(),
                kColumns, kRows);
    bool ok = MeasureKeyLatency(program, shipped);
    ok = MeasureStartUp(program, shipped) && ok;
    ok = MeasurePacing(program, shipped) && ok;
    ok = MeasureEnemyPace(program, shipped) && ok;
    ok = MeasureScroll(program, shipped) && ok;
    return ok ? 0 : 1;
}
