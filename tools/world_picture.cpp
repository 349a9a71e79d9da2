// world_picture [data-folder]: prints the whole 180 x 60 world as the game
// draws it, with the enemy figures, the Queen, the King and the gate marked and
// the screen borders shown, then lists the problems it sees: files the game
// cannot read or values it refuses, layout lines that are not 59 characters,
// figures standing in walls, screens the hero cannot reach and open outer edges.
// Exit status: 0 without problems, 1 with problems.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "console/console.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "field/world_map.h"
#include "game/records.h"
#include "game/text_reader.h"
#include "platform/sjis_utf8.h"
#include "tools/tool_platform.h"

namespace {

constexpr int kWorld = 1;
std::vector<std::string> problems;

void Problem(const std::string& text) { problems.push_back(text); }

std::string Format(const char* format, long long a = 0, long long b = 0, long long c = 0, long long d = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

// The placements of every screen, as each screen's file gives them.
struct ScreenPlacements {
    RoamingEnemy entries[kRoamingSlots];
    int count;
};
ScreenPlacements placements[kScreenCount + 1];

// Layout files are read as a stream, so every line must hold 59 characters
// and its break for the rows to stay aligned.
void CheckLayoutLines(const char* path) {
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
            Problem(std::string(path) + Format(": line %lld holds %lld characters, not 59", line, length));
        }
        ++line;
        length = 0;
    }
    CloseTextReader(reader);
    if (length > 0 && line <= kScreenRows) {
        Problem(std::string(path) + Format(": line %lld has no line break", line));
    }
    if (line <= kScreenRows) {
        Problem(std::string(path) + Format(": %lld lines, not 20 (the rest of the screen is open ground)", line - 1));
    } else if (line > kScreenRows + 1 || length > 0) {
        Problem(std::string(path) + ": text after line 20 is never read");
    }
}

void ReportErrors(const MapErrors& errors) {
    for (int i = 0; i < errors.count && i < kMapErrorSlots; ++i) {
        const MapValueError& e = errors.list[i];
        Problem(std::string(e.path) + ": " + e.what +
                Format(" %lld (the game allows %lld to %lld and refuses to start)", e.value, e.low, e.high));
    }
}

bool Standable(int screen, int x, int y) { return OpenCell(screen, y, x) && OpenCell(screen, y, x + 1); }

void CheckFigure(int screen, int x, int y, const std::string& who) {
    if (!Standable(screen, x, y)) {
        Problem(Format("screen %lld: ", screen) + who + Format(" at column %lld, row %lld stands in a wall", x, y));
    }
}

// Every place the hero can stand, found by walking with the game's own walk test.
struct Walk {
    bool seen[kScreenCount + 1][kScreenRows][kScreenColumns];
    bool entersFigureScreen;  // a screen change into the Queen's or King's screen
};

void WalkFrom(Walk& walk, int startScreen, int startX, int startY) {
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
                Problem(Format("screen %lld: a step from column %lld, row %lld leaves the world", at.screen, at.x, at.y));
                continue;
            }
            if (walk.seen[to.screen][to.y][to.x]) continue;
            walk.seen[to.screen][to.y][to.x] = true;
            todo.push_back(to);
        }
    }
}

bool ScreenReached(const Walk& walk, int screen) {
    for (int y = 0; y < kScreenRows; ++y)
        for (int x = 0; x < kScreenColumns; ++x)
            if (walk.seen[screen][y][x]) return true;
    return false;
}

std::string ReachedList(const Walk& walk) {
    std::string list;
    for (int screen = 1; screen <= kScreenCount; ++screen)
        if (ScreenReached(walk, screen)) list += Format(" %lld", screen);
    return list;
}

// The world's border: the hero must never stand where a step would test cells
// beyond it (the game treats them as walls; a map set closes them itself).
void CheckWalk(const Walk& walk) {
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        if (!ScreenReached(walk, screen)) Problem(Format("screen %lld cannot be reached from the start", screen));
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
                        Problem(Format("screen %lld: the hero reaches the world's ", screen) + sides[side] +
                                Format(" edge at column %lld, row %lld", x, y));
                    }
                }
                if (!Standable(screen, x, y) && !wallReported) {
                    wallReported = true;
                    Problem(Format("screen %lld: the hero lands in a wall at column %lld, row %lld", screen, x, y));
                }
            }
        }
    }
}

// One world row of the picture: the grid with the figures laid over it.
std::string PictureRow(int gridRow) {
    std::string line = "|";
    for (int across = 0; across < 3; ++across) {
        int screen = (gridRow / kScreenRows) * 3 + across + 1;
        int y = gridRow % kScreenRows;
        std::string cells(reinterpret_cast<const char*>(&worldMap.cells[gridRow][across * kScreenColumns]),
                          kScreenColumns);
        auto put = [&cells](int x, const char* text) {
            std::size_t length = std::strlen(text);
            if (x >= 0 && x + length <= cells.size()) cells.replace(static_cast<std::size_t>(x), length, text);
        };
        if (screen == gateSpot.screen && y < 2) put(gateSpot.column - 1, "==========");
        const ScreenPlacements& here = placements[screen];
        for (int i = 0; i < here.count; ++i)
            if (here.entries[i].y == y) put(here.entries[i].x, KindGlyph(here.entries[i].kind));
        if (screen == kingSpot.screen && kingSpot.row - 1 == y) put(kingSpot.column - 1, enemyKinds[kKing].glyph);
        if (screen == queenSpot.screen && queenSpot.row - 1 == y) put(queenSpot.column - 1, enemyKinds[kQueen].glyph);
        if (screen == hero.screenNo && hero.fieldY == y) put(hero.fieldX, "\x81\x9c");  // the hero's ●
        line += SjisToUtf8(cells) + "|";
    }
    return line;
}

std::string BorderLine(int firstScreen) {
    std::string line = "+";
    for (int across = 0; across < 3; ++across) {
        std::string label = firstScreen ? Format("-- screen %lld ", firstScreen + across) : "";
        line += label + std::string(kScreenColumns - label.size(), '-') + "+";
    }
    return line;
}

void PrintPicture() {
    for (int gridRow = 0; gridRow < kWorldRows; ++gridRow) {
        if (gridRow % kScreenRows == 0) std::printf("%s\n", BorderLine(gridRow / kScreenRows * 3 + 1).c_str());
        std::printf("%s\n", PictureRow(gridRow).c_str());
    }
    std::printf("%s\n", BorderLine(0).c_str());
    std::printf("● the hero's start   %s Queen   %s King   ========== the gate (screen %d, columns %d to %d of rows 0 "
                "and 1)\n",
                SjisToUtf8(enemyKinds[kQueen].glyph).c_str(), SjisToUtf8(enemyKinds[kKing].glyph).c_str(),
                gateSpot.screen, gateSpot.column - 1, gateSpot.column + 8);
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        std::string list;
        for (int i = 0; i < placements[screen].count; ++i) {
            const RoamingEnemy& e = placements[screen].entries[i];
            list += "  " + SjisToUtf8(KindGlyph(e.kind)) + Format(" x%lld at (%lld, %lld)", e.groupSize, e.x, e.y);
        }
        std::printf("screen %d:%s\n", screen, list.empty() ? "  no enemies" : list.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: world_picture [data-folder]\n");
        return 2;
    }
    if (argc == 2) SetToolDataRoot(argv[1]);

    ClearRecords();
    if (!LoadHeroStatus()) Problem("Hero_Info\\Hero_Status_Info.txt cannot be read (the hero's start)");
    if (!LoadEnemyKinds()) Problem("an Enemy_Info file cannot be read (the figures' glyphs)");
    std::memset(worldMap.cells, ' ', sizeof worldMap.cells);
    bool usable = true;
    char path[40];
    char prefix[40];
    LayoutPrefix(prefix, kWorld);
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        std::snprintf(path, sizeof path, "%.30s%d.txt", prefix, screen);
        if (!ReadScreenLayout(path, screen)) {
            Problem(std::string(path) + " cannot be opened");
            usable = false;
        }
        CheckLayoutLines(path);
    }
    MapErrors errors{};
    MapHeaderPath(path, kWorld);
    if (!ReadMapHeader(path, errors)) {
        Problem(std::string(path) + " cannot be opened");
        usable = false;
    }
    FindHeroStartErrors(errors);
    if (errors.count > 0) usable = false;
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        PlacementPath(path, kWorld, screen);
        MapErrors screenErrors{};
        if (!ReadPlacements(path, screenErrors)) {
            Problem(std::string(path) + " cannot be opened (the game stops on entering the screen)");
        }
        ReportErrors(screenErrors);
        placements[screen].count = roamingCount;
        std::memcpy(placements[screen].entries, roamingEnemies, sizeof roamingEnemies);
        for (int i = 0; i < roamingCount; ++i) {
            const RoamingEnemy& e = roamingEnemies[i];
            if (e.kind < 1 || e.kind > 4) {
                Problem(std::string(path) + Format(": enemy %lld has kind %lld; 1 to 4 are the battle kinds", i + 1, e.kind));
            }
            CheckFigure(screen, e.x, e.y, Format("enemy %lld", i + 1));
        }
    }
    ReportErrors(errors);

    if (usable) {
        CheckFigure(queenSpot.screen, queenSpot.column - 1, queenSpot.row - 1, "the Queen");
        CheckFigure(kingSpot.screen, kingSpot.column - 1, kingSpot.row - 1, "the King");
        CheckFigure(hero.screenNo, hero.fieldX, hero.fieldY, "the hero's start");
        PrintPicture();
        static Walk walk;
        WalkFrom(walk, hero.screenNo, hero.fieldX, hero.fieldY);
        std::string before = ReachedList(walk);
        if (walk.entersFigureScreen) {
            OpenGate();
            WalkFrom(walk, hero.screenNo, hero.fieldX, hero.fieldY);
        }
        std::printf("screens reached before the gate opens:%s; after:%s\n", before.c_str(),
                    walk.entersFigureScreen ? ReachedList(walk).c_str() : " (the gate never opens)");
        CheckWalk(walk);
    }

    if (problems.empty()) {
        std::printf("No problems found.\n");
        return 0;
    }
    std::printf("Problems:\n");
    for (const std::string& problem : problems) std::printf("  %s\n", SjisToUtf8(problem).c_str());
    return 1;
}
