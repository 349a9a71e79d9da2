#include "tools/balance/balance_table.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

const char* const kKindNames[] = {"?", "Pawn", "Knight", "Bishop", "Rook"};

const char* KindName(int kind) { return kind >= 1 && kind <= 4 ? kKindNames[kind] : kKindNames[0]; }

double Minutes(long long ms) { return ms / 60000.0; }

// The median of the journeys' values that are not negative; -1 when none is.
double MedianOf(const std::vector<double>& values) {
    std::vector<double> known;
    for (double v : values) {
        if (v >= 0) known.push_back(v);
    }
    return known.empty() ? -1 : SpreadOf(known).median;
}

void PrintCell(std::FILE* out, double value, const char* format) {
    if (value < 0) {
        std::fprintf(out, "%7s", "-");
    } else {
        std::fprintf(out, format, value);
    }
}

// "level 5 at 12.3 min" from the journeys' medians.
void PrintMoment(std::FILE* out, const char* what, double level, double minutes) {
    if (minutes < 0) {
        std::fprintf(out, "%s: not reached\n", what);
    } else if (level < 0) {
        std::fprintf(out, "%s: %.1f min\n", what, minutes);
    } else {
        std::fprintf(out, "%s: level %.0f at %.1f min\n", what, level, minutes);
    }
}

}  // namespace

Spread SpreadOf(std::vector<double> values) {
    Spread spread;
    spread.count = static_cast<int>(values.size());
    if (values.empty()) return spread;
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    spread.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::size_t rank = static_cast<std::size_t>(std::ceil(0.95 * n));
    spread.p95 = values[std::max<std::size_t>(rank, 1) - 1];
    spread.worst = values.back();
    return spread;
}

std::vector<double> Seconds(const std::vector<PlayedBattle>& battles) {
    std::vector<double> seconds;
    for (const PlayedBattle& battle : battles) seconds.push_back((battle.endMs - battle.startMs) / 1000.0);
    return seconds;
}

std::vector<double> Turns(const std::vector<PlayedBattle>& battles) {
    std::vector<double> turns;
    for (const PlayedBattle& battle : battles) turns.push_back(battle.turns);
    return turns;
}

double PercentWith(const std::vector<PlayedBattle>& battles, char outcome) {
    if (battles.empty()) return 0;
    long count = std::count_if(battles.begin(), battles.end(),
                               [outcome](const PlayedBattle& b) { return b.outcome == outcome; });
    return 100.0 * count / battles.size();
}

void PrintJourneys(std::FILE* out, const std::vector<Journey>& journeys) {
    std::fprintf(out, "The journey: first arrival on each screen (median of %zu journeys)\n", journeys.size());
    std::fprintf(out, "screen  ");
    for (int s = 1; s <= kScreenCount; ++s) {
        const char* mark = s == kingSpot.screen ? "K" : s == queenSpot.screen ? "Q" : "";
        std::fprintf(out, "%6d%-1s", s, mark);
    }
    std::fprintf(out, "\nlevel   ");
    for (int s = 1; s <= kScreenCount; ++s) {
        std::vector<double> levels;
        for (const Journey& j : journeys) levels.push_back(j.arrivalMs[s] < 0 ? -1 : j.arrivalLevel[s]);
        PrintCell(out, MedianOf(levels), "%7.0f");
    }
    std::fprintf(out, "\nminute  ");
    for (int s = 1; s <= kScreenCount; ++s) {
        std::vector<double> minutes;
        for (const Journey& j : journeys) minutes.push_back(j.arrivalMs[s] < 0 ? -1 : Minutes(j.arrivalMs[s]));
        PrintCell(out, MedianOf(minutes), "%7.1f");
    }
    std::fprintf(out, "\n");

    auto momentOf = [&journeys](int screen, double& level, double& minutes) {
        std::vector<double> levels, times;
        for (const Journey& j : journeys) {
            levels.push_back(j.arrivalMs[screen] < 0 ? -1 : j.arrivalLevel[screen]);
            times.push_back(j.arrivalMs[screen] < 0 ? -1 : Minutes(j.arrivalMs[screen]));
        }
        level = MedianOf(levels);
        minutes = MedianOf(times);
    };
    double level, minutes;
    momentOf(kingSpot.screen, level, minutes);
    PrintMoment(out, "the King's screen", level, minutes);
    momentOf(queenSpot.screen, level, minutes);
    PrintMoment(out, "the Queen's screen", level, minutes);
    std::vector<double> level25, fifth;
    for (const Journey& j : journeys) {
        level25.push_back(j.levelMs[25] < 0 ? -1 : Minutes(j.levelMs[25]));
        fifth.push_back(j.fifthAbilityMs < 0 ? -1 : Minutes(j.fifthAbilityMs));
    }
    PrintMoment(out, "level 25", -1, MedianOf(level25));
    PrintMoment(out, "the fifth ability listed", -1, MedianOf(fifth));

    for (std::size_t i = 0; i < journeys.size(); ++i) {
        const Journey& j = journeys[i];
        long long queen = j.arrivalMs[queenSpot.screen];
        int before = 0, lost = 0, fled = 0;
        for (const PlayedBattle& b : j.battles) {
            if (queen >= 0 && b.startMs > queen) break;
            before += 1;
            lost += b.outcome == 'l';
            fled += b.outcome == 'f';
        }
        std::fprintf(out, "journey %zu: %d battles to the Queen's screen (%d lost, %d fled), %zu in all in %.1f min;"
                          " items left %d potions, %d proteins, %d bucklers%s%s\n",
                     i + 1, before, lost, fled, j.battles.size(), Minutes(j.endMs), j.itemsLeft[kPotion],
                     j.itemsLeft[kProtein], j.itemsLeft[kBuckler], j.failure.empty() ? "" : "; stopped: ",
                     j.failure.c_str());
    }
}

void PrintBattles(std::FILE* out, const char* label, const std::vector<PlayedBattle>& battles) {
    for (const PlayedBattle& b : battles) {
        std::fprintf(out,
                     "%s at %6.1f min: screen %d, level %2d, %d %-6s %5.1f s, %3d turns, %c, potions %d, "
                     "boosts %d, flights %d\n",
                     label, Minutes(b.startMs), b.screen, b.level, b.group, KindName(b.kind),
                     (b.endMs - b.startMs) / 1000.0, b.turns, b.outcome, b.potions, b.boosts, b.fleeTries);
    }
}

void PrintScreens(std::FILE* out, const std::vector<ScreenTrials>& screens) {
    std::fprintf(out, "Battles on each screen at its first-arrival level (a trial: every group of the screen in turn)\n");
    std::fprintf(out, "screen  level  battles  lost %%  lost %% w/o items  items/battle  lost %% HP whole  rush level  "
                      "lost %% rushing\n");
    for (const ScreenTrials& t : screens) {
        double items = 0;
        for (const PlayedBattle& b : t.played) items += b.potions + b.boosts;
        if (!t.played.empty()) items /= t.played.size();
        std::fprintf(out, "%6d  %5d  %7zu  %6.1f  %16.1f  %12.2f  %15.1f", t.screen, t.level, t.played.size(),
                     PercentWith(t.played, 'l'), PercentWith(t.withoutItems, 'l'), items, PercentWith(t.wholeHp, 'l'));
        if (t.rushLevel > 0) {
            std::fprintf(out, "  %10d  %14.1f\n", t.rushLevel, PercentWith(t.rushing, 'l'));
        } else {
            std::fprintf(out, "  %10s  %14s\n", "-", "-");
        }
    }
}

void PrintLengths(std::FILE* out, const std::vector<ScreenTrials>& screens) {
    std::map<std::pair<int, int>, std::vector<PlayedBattle>> byKind;
    std::vector<PlayedBattle> all;
    for (const ScreenTrials& t : screens) {
        for (const PlayedBattle& b : t.played) {
            byKind[{b.kind, b.group}].push_back(b);
            all.push_back(b);
        }
    }
    std::fprintf(out, "Battle length in seconds, by kind and group size (goal: median <= 25, 95th percentile <= 60, "
                      "none over 90)\n");
    std::fprintf(out, "kind     size  battles  median    p95  worst  lost %%  median turns\n");
    for (const auto& entry : byKind) {
        Spread s = SpreadOf(Seconds(entry.second));
        std::fprintf(out, "%-7s  %4d  %7d  %6.1f  %5.1f  %5.1f  %6.1f  %12.0f\n", KindName(entry.first.first),
                     entry.first.second, s.count, s.median, s.p95, s.worst, PercentWith(entry.second, 'l'),
                     SpreadOf(Turns(entry.second)).median);
    }
    Spread s = SpreadOf(Seconds(all));
    std::fprintf(out, "%-7s  %4s  %7d  %6.1f  %5.1f  %5.1f  %6.1f  %12.0f\n", "all", "", s.count, s.median, s.p95,
                 s.worst, PercentWith(all, 'l'), SpreadOf(Turns(all)).median);
}

void PrintFlight(std::FILE* out, const std::vector<ScreenTrials>& screens) {
    struct Tries {
        long tries = 0, away = 0;
    };
    std::map<int, std::map<int, Tries>> byKind;  // kind, then group size
    for (const ScreenTrials& t : screens) {
        for (const PlayedBattle& b : t.fleeing) {
            Tries& tries = byKind[b.kind][b.group];
            tries.tries += b.fleeTries;
            tries.away += b.outcome == 'f';
        }
    }
    std::fprintf(out, "Flight: the share of tries that get away, fleeing at the first three commands of each battle, "
                      "from each screen's first arrival\n");
    std::fprintf(out, "kind     speed  tries  away %%  by group size\n");
    for (const auto& kind : byKind) {
        Tries total;
        for (const auto& size : kind.second) {
            total.tries += size.second.tries;
            total.away += size.second.away;
        }
        std::fprintf(out, "%-7s  %5d  %5ld  %6.1f ", KindName(kind.first), enemyKinds[kind.first - 1].speed, total.tries,
                     total.tries ? 100.0 * total.away / total.tries : 0.0);
        for (const auto& size : kind.second) {
            std::fprintf(out, " %d: %.0f%%", size.first,
                         size.second.tries ? 100.0 * size.second.away / size.second.tries : 0.0);
        }
        std::fprintf(out, "\n");
    }
}
