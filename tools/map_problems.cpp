#include "tools/map_problems.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "console/console.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "records/records.h"
#include "records/text_reader.h"

namespace {

constexpr int kWorld = 1;

void LayoutPath(char (&path)[40], int screen) {
    char prefix[40];
    LayoutPrefix(prefix, kWorld);
    std::snprintf(path, sizeof path, "%.30s%d.txt", prefix, screen);
}

// Layout files are read as a stream, so every line must hold 59 characters
// and its break for the rows to stay aligned.
void CheckLayoutLines(const char* path, ProblemList& problems) {
    TextReader reader;
    if (!OpenTextReader(reader, path)) return;
    int line = 1;
    int length = 0;
    int c;
    while ((c = ReadTextChar(reader)) != EOF) {
        if (c != '\n') {
            ++length;
            continue;
        }
        if (line <= kScreenRows && length != kScreenColumns - 1) {
            ReportProblem(problems, path, 0,
                          Format("line %d holds %d characters (59, then a line break)", line, length));
        }
        ++line;
        length = 0;
    }
    CloseTextReader(reader);
    if (length > 0 && line <= kScreenRows) {
        ReportProblem(problems, path, 0, Format("line %d has no line break (59 characters, then a line break)", line));
    }
    if (line <= kScreenRows) {
        ReportProblem(problems, path, 0,
                      Format("%d lines: the rest of the screen is open ground (20 lines)", line - 1));
    } else if (line > kScreenRows + 1 || length > 0) {
        ReportProblem(problems, path, 0, "text after line 20 is never read (20 lines)");
    }
}

void ReportRefused(const MapErrors& errors, const char* stop, ProblemList& problems) {
    for (int i = 0; i < errors.count && i < kMapErrorSlots; ++i) {
        const MapValueError& e = errors.list[i];
        ReportProblem(problems, e.path, e.item,
                      Format("%s %s %s (%lld to %lld)", e.what, e.written, stop, e.low, e.high));
    }
}

// The header: ten numbers, each stored in 16 bits.
std::vector<ItemRule> HeaderRules() {
    const char* names[10] = {"Queen screen", "Queen column", "Queen row", "King screen", "King column",
                             "King row",     "gate screen",  "gate column", "gate row", "start screen"};
    std::vector<ItemRule> rules;
    for (const char* name : names) rules.push_back({name, kNumberItem, -32768, 32767});
    return rules;
}

// A placement file: the count, then four numbers per entry (as many entries as
// the count says, at most the table's 5).
std::vector<ItemRule> PlacementRules(const char* path) {
    long long count = 0;
    TextReader reader;
    if (OpenTextReader(reader, path)) {
        if (!ReadTextNumber(reader, count)) count = 0;
        CloseTextReader(reader);
    }
    const long long low = -2147483647LL - 1, high = 2147483647LL;
    std::vector<ItemRule> rules = {{"enemy count", kNumberItem, low, high}};
    for (int i = 1; i <= count && i <= kRoamingSlots; ++i) {
        const char* fields[4] = {"kind", "group size", "column", "row"};
        for (const char* field : fields) rules.push_back({Format("enemy %d %s", i, field), kNumberItem, low, high});
    }
    return rules;
}

bool Standable(int screen, int x, int y) { return OpenCell(screen, y, x) && OpenCell(screen, y, x + 1); }

void CheckFigure(ProblemList& problems, const char* path, int item, const std::string& who, int screen, int x,
                 int y) {
    if (!Standable(screen, x, y)) {
        ReportProblem(problems, path, item,
                      Format("%s at column %d, row %d of screen %d stands in a wall (two open cells)", who.c_str(),
                             x, y, screen));
    }
}

// Every place the hero can stand, found by walking with the game's own walk test.
struct Walk {
    bool seen[kScreenCount + 1][kScreenRows][kScreenColumns];
    bool entersFigureScreen;  // a screen change into the Queen's or King's screen
};
Walk walk;

void ReportOnLayout(ProblemList& problems, int screen, const std::string& text) {
    char path[40];
    LayoutPath(path, screen);
    ReportProblem(problems, path, 0, text);
}

void WalkFrom(ProblemList& problems, int startScreen, int startX, int startY) {
    std::memset(&walk, 0, sizeof walk);
    struct Place {
        int screen, x, y;
    };
    std::vector<Place> todo = {{startScreen, startX, startY}};
    walk.seen[startScreen][startY][startX] = true;
    const int keys[4] = {KeyUp, KeyDown, KeyLeft, KeyRight};
    while (!todo.empty()) {
        Place at = todo.back();
        todo.pop_back();
        for (int key : keys) {
            StepResult result = CheckStepAt(at.screen, at.x, at.y, key);
            if (result == kStepBlocked) continue;
            Place to = at;
            int sideways = (result == kStepOneColumn) ? 1 : 2;
            if (result == kStepLeave) {
                if (key == KeyUp) to = {at.screen - 3, at.x, kScreenRows - 1};
                if (key == KeyDown) to = {at.screen + 3, at.x, 0};
                if (key == KeyLeft) to = {at.screen - 1, kScreenColumns - 3, at.y};
                if (key == KeyRight) to = {at.screen + 1, 0, at.y};
                if (to.screen == queenSpot.screen || to.screen == kingSpot.screen) walk.entersFigureScreen = true;
            } else if (key == KeyUp) {
                to.y -= 1;
            } else if (key == KeyDown) {
                to.y += 1;
            } else if (key == KeyLeft) {
                to.x -= sideways;
            } else {
                to.x += sideways;
            }
            if (to.screen < 1 || to.screen > kScreenCount || to.x < 0 || to.x > kScreenColumns - 2 || to.y < 0 ||
                to.y >= kScreenRows) {
                ReportOnLayout(problems, at.screen,
                               Format("line %d: a step from column %d leaves the world (walls along its edge)",
                                      at.y + 1, at.x));
                continue;
            }
            if (walk.seen[to.screen][to.y][to.x]) continue;
            walk.seen[to.screen][to.y][to.x] = true;
            todo.push_back(to);
        }
    }
}

bool ScreenReached(int screen) {
    for (int y = 0; y < kScreenRows; ++y)
        for (int x = 0; x < kScreenColumns; ++x)
            if (walk.seen[screen][y][x]) return true;
    return false;
}

std::string ReachedList() {
    std::string list;
    for (int screen = 1; screen <= kScreenCount; ++screen)
        if (ScreenReached(screen)) list += Format(" %d", screen);
    return list;
}

// The world's border: the hero must never stand where a step would test cells
// beyond it (the game treats them as walls; a map set closes them itself).
void CheckWalk(ProblemList& problems) {
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        if (!ScreenReached(screen)) {
            ReportOnLayout(problems, screen,
                           Format("screen %d cannot be reached from the start (a way in from the start)", screen));
        }
        bool top = screen <= 3, bottom = screen >= 7, left = screen % 3 == 1, right = screen % 3 == 0;
        const char* sides[4] = {"top", "bottom", "left", "right"};
        bool reported[4] = {false, false, false, false};
        bool wallReported = false;
        for (int y = 0; y < kScreenRows; ++y) {
            for (int x = 0; x < kScreenColumns; ++x) {
                if (!walk.seen[screen][y][x]) continue;
                bool open[4] = {top && y == 0, bottom && y == kScreenRows - 1, left && x == 0,
                                right && x >= kScreenColumns - 3};
                for (int side = 0; side < 4; ++side) {
                    if (open[side] && !reported[side]) {
                        reported[side] = true;
                        ReportOnLayout(problems, screen,
                                       Format("line %d: the hero reaches the world's %s edge at column %d (walls "
                                              "along the world's edge)",
                                              y + 1, sides[side], x));
                    }
                }
                if (!Standable(screen, x, y) && !wallReported) {
                    wallReported = true;
                    ReportOnLayout(problems, screen,
                                   Format("line %d: the hero lands in a wall at column %d (open ground)", y + 1, x));
                }
            }
        }
    }
}

}  // namespace

void SurveyMap(MapSurvey& survey, ProblemList& problems) {
    survey = MapSurvey{};
    survey.usable = true;
    std::memset(worldMap.cells, ' ', sizeof worldMap.cells);
    queenSpot = kingSpot = gateSpot = ScreenSpot{0, 0, 0};
    hero.screenNo = 0;
    char path[40];
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        LayoutPath(path, screen);
        if (!ReadScreenLayout(path, screen)) {
            ReportUnopened(problems, path, "the game cannot start without it");
            survey.usable = false;
        }
        CheckLayoutLines(path, problems);
    }

    MapErrors errors{};
    MapHeaderPath(path, kWorld);
    if (CheckFileItems(problems, path, HeaderRules()) < 0 || !ReadMapHeader(path, errors)) survey.usable = false;
    FindHeroStartErrors(errors);
    if (errors.count > 0) survey.usable = false;
    ReportRefused(errors, "stops the game at start", problems);

    for (int screen = 1; screen <= kScreenCount; ++screen) {
        PlacementPath(path, kWorld, screen);
        MapErrors screenErrors{};
        CheckFileItems(problems, path, PlacementRules(path));
        ReadPlacements(path, screenErrors);
        ReportRefused(screenErrors, Format("stops the game on entering screen %d", screen).c_str(), problems);
        ScreenPlacements& here = survey.placements[screen];
        here.count = roamingCount;
        std::memcpy(here.entries, roamingEnemies, sizeof roamingEnemies);
        for (int i = 0; i < here.count; ++i) {
            const RoamingEnemy& e = here.entries[i];
            if (e.kind < 1 || e.kind > 4) {
                ReportProblem(problems, path, 2 + 4 * i,
                              Format("enemy %d kind %d is no battle kind (1 to 4)", i + 1, static_cast<int>(e.kind)));
            }
            CheckFigure(problems, path, 4 + 4 * i, Format("enemy %d", i + 1), screen, e.x, e.y);
        }
    }

    if (!survey.usable) return;
    MapHeaderPath(path, kWorld);
    CheckFigure(problems, path, 2, "the Queen", queenSpot.screen, queenSpot.column - 1, queenSpot.row - 1);
    CheckFigure(problems, path, 5, "the King", kingSpot.screen, kingSpot.column - 1, kingSpot.row - 1);
    CheckFigure(problems, kHeroStatusPath, 21, "the hero's start", hero.screenNo, hero.fieldX, hero.fieldY);
}

void WalkWorld(MapSurvey& survey, ProblemList& problems) {
    WalkFrom(problems, hero.screenNo, hero.fieldX, hero.fieldY);
    survey.reachedBefore = ReachedList();
    survey.gateOpens = walk.entersFigureScreen;
    if (survey.gateOpens) {
        OpenGate();
        WalkFrom(problems, hero.screenNo, hero.fieldX, hero.fieldY);
    }
    survey.reachedAfter = ReachedList();
    CheckWalk(problems);
}
