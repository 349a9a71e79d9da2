// world_picture [data-folder]: prints the whole 180 x 60 world as the game
// draws it, with the enemy figures, the Queen, the King and the gate marked and
// the screen borders shown, then lists the problems it sees: files the game
// cannot read or values it refuses, layout lines that are not 59 characters,
// figures standing in walls, screens the hero cannot reach and open outer edges.
// Exit status: 0 without problems, 1 with problems.
#include <cstdio>
#include <cstring>
#include <string>

#include "field/world_map.h"
#include "records/records.h"
#include "platform/sjis_utf8.h"
#include "tools/map_problems.h"
#include "tools/tool_platform.h"

namespace {

MapSurvey survey;

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
        const ScreenPlacements& here = survey.placements[screen];
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
        std::string label = firstScreen ? Format("-- screen %d ", firstScreen + across) : "";
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
        for (int i = 0; i < survey.placements[screen].count; ++i) {
            const RoamingEnemy& e = survey.placements[screen].entries[i];
            list += "  " + SjisToUtf8(KindGlyph(e.kind)) + Format(" x%d at (%d, %d)", static_cast<int>(e.groupSize), static_cast<int>(e.x), static_cast<int>(e.y));
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

    ProblemList problems;
    ClearRecords();
    if (!LoadHeroStatus()) ReportUnopened(problems, kHeroStatusPath, "the hero's start");
    for (int i = 0; i < kEnemyKindCount; ++i) {
        if (!LoadEnemyKind(enemyKinds[i], kEnemyKindPaths[i])) {
            ReportUnopened(problems, kEnemyKindPaths[i], "the figures' glyphs");
        }
    }
    SurveyMap(survey, problems);
    if (survey.usable) {
        PrintPicture();
        WalkWorld(survey, problems);
        std::printf("screens reached before the gate opens:%s; after:%s\n", survey.reachedBefore.c_str(),
                    survey.gateOpens ? survey.reachedAfter.c_str() : " (the gate never opens)");
    }

    if (problems.lines.empty()) {
        std::printf("No problems found.\n");
        return 0;
    }
    std::printf("Problems:\n");
    for (const std::string& problem : SortedLines(problems)) std::printf("  %s\n", SjisToUtf8(problem).c_str());
    return 1;
}
