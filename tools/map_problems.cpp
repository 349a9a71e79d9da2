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
constexpr long long kMin32 = -2147483647LL - 1, kMax32 = 2147483647LL;

void LayoutPath(char (&path)[40], int screen) {
    char prefix[40];
    LayoutPrefix(prefix, kWorld);
    std::snprintf(path, sizeof path, "%.30s%d.txt", prefix, screen);
}

const ProblemText kStopsAtStart = {"ゲームは始まるときに止まります", "the game stops at start"};

ProblemText StopsOnEntering(int screen) {
    return {Format("ゲームは画面 %d に入るときに止まります", screen),
            Format("the game stops on entering screen %d", screen)};
}

ItemRule HeaderNumber(const ProblemText& name, long long low, long long high, const ProblemText& why) {
    return {name, kNumberItem, low, high, -32768, 32767, why, why, {}};
}

// The header: ten numbers, each stored in 16 bits. The figures are two columns
// wide and drawn at (column - 1, row - 1); the gate's block runs from column - 1
// to column + 8 of rows 0 and 1, whatever its row says.
std::vector<ItemRule> HeaderRules() {
    std::vector<ItemRule> rules;
    const ProblemText figures[2] = {{"クイーン", "Queen"}, {"キング", "King"}};
    for (const ProblemText& who : figures) {
        rules.push_back(HeaderNumber({who.ja + "の画面", who.en + " screen"}, 1, kScreenCount, kStopsAtStart));
        rules.push_back(HeaderNumber({who.ja + "の列", who.en + " column"}, 1, kScreenColumns - 1, kStopsAtStart));
        rules.push_back(HeaderNumber({who.ja + "の行", who.en + " row"}, 1, kScreenRows, kStopsAtStart));
    }
    rules.push_back(HeaderNumber({"門の画面", "gate screen"}, 1, kScreenCount, kStopsAtStart));
    rules.push_back(HeaderNumber({"門の列", "gate column"}, 1, kScreenColumns - 9, kStopsAtStart));
    rules.push_back(HeaderNumber({"門の行（使われません）", "gate row (not used)"}, -32768, 32767, {}));
    rules.push_back(HeaderNumber({"開始画面", "start screen"}, 1, kScreenCount, kStopsAtStart));
    return rules;
}

// A placement file: the count, then four numbers per entry (as many entries as
// the count says, at most the table's 5).
std::vector<ItemRule> PlacementRules(const char* path, int screen) {
    long long count = 0;
    TextReader reader;
    if (OpenTextReader(reader, path)) {
        if (!ReadTextNumber(reader, count)) count = 0;
        CloseTextReader(reader);
    }
    const ProblemText stops = StopsOnEntering(screen);
    const ProblemText noBattleKind = {"戦う種類ではありません（0 以下はナイト、5 以上はルークになります）",
                                      "no battle kind (0 and below give the Knight, 5 and above the Rook)"};
    std::vector<ItemRule> rules = {
        {{"敵の数", "enemy count"}, kNumberItem, 0, kRoamingSlots, kMin32, kMax32, stops, stops, {}}};
    for (int i = 1; i <= count && i <= kRoamingSlots; ++i) {
        const ProblemText who = {Format("敵 %d の", i), Format("enemy %d ", i)};
        rules.push_back({{who.ja + "種類", who.en + "kind"}, kNumberItem, 1, 4, kMin32, kMax32, noBattleKind,
                         noBattleKind, {}});
        rules.push_back({{who.ja + "群れの数", who.en + "group size"}, kNumberItem, 1, kInstanceSlots, kMin32,
                         kMax32, stops, stops, {}});
        rules.push_back({{who.ja + "列", who.en + "column"}, kNumberItem, 0, kScreenColumns - 2, kMin32, kMax32,
                         stops, stops, {}});
        rules.push_back({{who.ja + "行", who.en + "row"}, kNumberItem, 0, kScreenRows - 1, kMin32, kMax32, stops,
                         stops, {}});
    }
    return rules;
}

// The values the game refuses, as it finds them; the rules above name the
// same ones first, so these lines show only where the two would disagree.
void ReportRefused(const MapErrors& errors, const char* path, const std::vector<ItemRule>& rules,
                   const ProblemText& stop, ProblemList& problems) {
    for (int i = 0; i < errors.count && i < kMapErrorSlots; ++i) {
        const MapValueError& e = errors.list[i];
        ProblemText name = {e.what, e.what};
        if (std::strcmp(e.path, path) == 0 && e.item >= 1 && e.item <= static_cast<int>(rules.size())) {
            name = rules[static_cast<std::size_t>(e.item - 1)].name;
        }
        ReportItemProblem(problems, e.path, e.item,
                          {Format("%s %s: %s（%lld〜%lld）", name.ja.c_str(), e.written, stop.ja.c_str(), e.low, e.high),
                           Format("%s %s: %s (%lld to %lld)", name.en.c_str(), e.written, stop.en.c_str(), e.low,
                                  e.high)});
    }
}

bool Standable(int screen, int x, int y) { return OpenCell(screen, y, x) && OpenCell(screen, y, x + 1); }

// A figure's problem is placed on its row's item, the later of the two: when
// the file ends or stops before it, the position is not what the file meant.
void CheckFigure(ProblemList& problems, const char* path, int item, const ProblemText& who, int screen, int x,
                 int y) {
    if (Standable(screen, x, y)) return;
    ReportItemProblem(problems, path, item,
                      {Format("%s（画面 %d の列 %d、行 %d）が壁の中に立っています（空いたマスが 2 つ要ります）",
                              who.ja.c_str(), screen, x, y),
                       Format("%s at column %d, row %d of screen %d stands in a wall (two open cells)",
                              who.en.c_str(), x, y, screen)});
}

// Every place the hero can stand, found by walking with the game's own walk test.
struct Walk {
    bool seen[kScreenCount + 1][kScreenRows][kScreenColumns];
    bool entersFigureScreen;  // a screen change into the Queen's or King's screen
};
Walk walk;

// A problem at screen column x of row y of a layout.
void ReportAtCell(ProblemList& problems, const MapSurvey& survey, int screen, int y, int x, const ProblemText& text) {
    const LayoutText& layout = survey.layouts[screen];
    std::pair<int, int> place = LayoutPlace(layout, y, x);
    ReportProblem(problems, layout.path.c_str(), place.first, place.second, text);
}

void WalkFrom(ProblemList& problems, const MapSurvey& survey, int startScreen, int startX, int startY) {
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
                ReportAtCell(problems, survey, at.screen, at.y, at.x,
                             {Format("ここ（画面の列 %d）からの一歩で世界の外に出ます（世界の端に壁を）", at.x),
                              Format("a step from here (screen column %d) leaves the world (walls along its edge)",
                                     at.x)});
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
void CheckWalk(ProblemList& problems, const MapSurvey& survey) {
    const ProblemText sides[4] = {{"上", "top"}, {"下", "bottom"}, {"左", "left"}, {"右", "right"}};
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        if (!ScreenReached(screen)) {
            ReportProblem(problems, survey.layouts[screen].path.c_str(), 0, 0,
                          {Format("画面 %d にはスタートから行けません（スタートからの道が要ります）", screen),
                           Format("screen %d cannot be reached from the start (a way in from the start)", screen)});
        }
        bool top = screen <= 3, bottom = screen >= 7, left = screen % 3 == 1, right = screen % 3 == 0;
        bool reported[4] = {false, false, false, false};
        bool wallReported = false;
        for (int y = 0; y < kScreenRows; ++y) {
            for (int x = 0; x < kScreenColumns; ++x) {
                if (!walk.seen[screen][y][x]) continue;
                bool open[4] = {top && y == 0, bottom && y == kScreenRows - 1, left && x == 0,
                                right && x >= kScreenColumns - 3};
                for (int side = 0; side < 4; ++side) {
                    if (!open[side] || reported[side]) continue;
                    reported[side] = true;
                    ReportAtCell(problems, survey, screen, y, x,
                                 {Format("主人公が世界の%s端に出られます（画面の列 %d）。世界の端は壁でふさいで"
                                         "ください",
                                         sides[side].ja.c_str(), x),
                                  Format("the hero reaches the world's %s edge (screen column %d): walls along the "
                                         "world's edge",
                                         sides[side].en.c_str(), x)});
                }
                if (!Standable(screen, x, y) && !wallReported) {
                    wallReported = true;
                    ReportAtCell(problems, survey, screen, y, x,
                                 {Format("主人公がここ（画面の列 %d）で壁の中に入ってしまいます。隣の画面との"
                                         "通り道をそろえてください",
                                         x),
                                  Format("the hero lands in a wall here (screen column %d): line the way up with "
                                         "the next screen's",
                                         x)});
                }
            }
        }
    }
}

// The nine layouts: read as the game reads them into the survey's game map,
// and as their lines mean them into the world map.
void SurveyLayouts(MapSurvey& survey, ProblemList& problems) {
    char path[40];
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        LayoutPath(path, screen);
        LayoutText& layout = survey.layouts[screen];
        layout.path = path;
        if (!ReadScreenLayout(path, screen)) {
            ReportUnopened(problems, path, kGameDoesNotStart);
            survey.usable = false;
            continue;
        }
        CheckLayoutFile(problems, layout);
    }
    survey.gameMap = worldMap;
    for (int screen = 1; screen <= kScreenCount; ++screen) PutMeantLayout(survey.layouts[screen], screen, worldMap);
}

void SurveyPlacements(MapSurvey& survey, ProblemList& problems) {
    char path[40];
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        PlacementPath(path, kWorld, screen);
        const std::vector<ItemRule> rules = PlacementRules(path, screen);
        CheckFileItems(problems, path, rules, StopsOnEntering(screen));
        MapErrors errors{};
        ReadPlacements(path, errors);
        ReportRefused(errors, path, rules, StopsOnEntering(screen), problems);
        ScreenPlacements& here = survey.placements[screen];
        here.count = roamingCount;
        std::memcpy(here.entries, roamingEnemies, sizeof roamingEnemies);
        for (int i = 0; i < here.count; ++i) {
            const RoamingEnemy& e = here.entries[i];
            // A place the game refuses is reported as such, not as a wall.
            if (e.x < 0 || e.x > kScreenColumns - 2 || e.y < 0 || e.y >= kScreenRows) continue;
            CheckFigure(problems, path, 5 + 4 * i, {Format("敵 %d", i + 1), Format("enemy %d", i + 1)}, screen, e.x,
                        e.y);
        }
    }
}

}  // namespace

void SurveyMap(MapSurvey& survey, ProblemList& problems) {
    for (int screen = 0; screen <= kScreenCount; ++screen) {
        survey.placements[screen] = ScreenPlacements{};
        survey.layouts[screen] = LayoutText{};
    }
    survey.usable = true;
    survey.gateOpens = false;
    survey.reachedBefore.clear();
    survey.reachedAfter.clear();
    std::memset(worldMap.cells, ' ', sizeof worldMap.cells);
    queenSpot = kingSpot = gateSpot = ScreenSpot{0, 0, 0};
    hero.screenNo = 0;
    SurveyLayouts(survey, problems);

    char path[40];
    MapErrors errors{};
    MapHeaderPath(path, kWorld);
    const std::vector<ItemRule> headerRules = HeaderRules();
    if (CheckFileItems(problems, path, headerRules) < 0 || !ReadMapHeader(path, errors)) survey.usable = false;
    FindHeroStartErrors(errors);
    if (errors.count > 0) survey.usable = false;
    ReportRefused(errors, path, headerRules, kStopsAtStart, problems);

    SurveyPlacements(survey, problems);
    if (!survey.usable) return;
    MapHeaderPath(path, kWorld);
    CheckFigure(problems, path, 3, {"クイーン", "the Queen"}, queenSpot.screen, queenSpot.column - 1, queenSpot.row - 1);
    CheckFigure(problems, path, 6, {"キング", "the King"}, kingSpot.screen, kingSpot.column - 1, kingSpot.row - 1);
    CheckFigure(problems, kHeroStatusPath, 22, {"主人公のスタート", "the hero's start"}, hero.screenNo, hero.fieldX,
                hero.fieldY);
}

void WalkWorld(MapSurvey& survey, ProblemList& problems) {
    WalkFrom(problems, survey, hero.screenNo, hero.fieldX, hero.fieldY);
    survey.reachedBefore = ReachedList();
    survey.gateOpens = walk.entersFigureScreen;
    if (survey.gateOpens) {
        OpenGate();
        WalkFrom(problems, survey, hero.screenNo, hero.fieldX, hero.fieldY);
    }
    survey.reachedAfter = ReachedList();
    CheckWalk(problems, survey);
}
