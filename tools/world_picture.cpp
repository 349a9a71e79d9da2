// chessrpg-world-picture [OPTION]... [FOLDER]: prints the whole 180 x 60 world
// as the game draws it, with the enemy figures, the Queen, the King and the
// gate marked and the screen borders shown, or one screen in 80 columns with a
// ruler (--screen N), or the statistics of the hero, the enemy kinds and the
// abilities (--stats); then lists the map's problems. Exit status: 0 without
// problems, 1 with problems, 2 for a wrong command line or a folder without a
// data tree.
#include <getopt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "field/world_map.h"
#include "records/records.h"
#include "platform/sjis_utf8.h"
#include "tools/map_problems.h"
#include "tools/tool_command.h"
#include "tools/tool_platform.h"
#include "tools/world_stats.h"

namespace {

constexpr char kProgram[] = "chessrpg-world-picture";

const char kHelpJa[] =
    "使い方: chessrpg-world-picture [オプション]... [フォルダ]\n"
    "フォルダ（省略するとカレントディレクトリ）のデータツリーの世界を、ゲームが描く\n"
    "とおりに 9 画面そろえて表示し（幅 184 桁）、敵、クイーン、キング、門、主人公の\n"
    "スタートを重ねて、地図の問題を並べます。\n"
    "\n"
    "  -s, --screen N    画面 N（1〜9）だけを 80 桁で、列と行の目盛りをつけて表示する\n"
    "      --stats       主人公、敵の種類、技の数値を表示する\n"
    "  -e, --english     英語で表示する\n"
    "  -h, --help        この説明を表示して終わる\n"
    "\n"
    "終了ステータス: 問題なし 0、問題あり 1、コマンドラインの誤りやデータツリーが\n"
    "ないとき 2。\n";

const char kHelpEn[] =
    "Usage: chessrpg-world-picture [OPTION]... [FOLDER]\n"
    "Prints the world of the data tree in FOLDER (by default the working directory)\n"
    "as the game draws it, its nine screens side by side (184 columns), with the\n"
    "enemies, the Queen, the King, the gate and the hero's start laid over it, then\n"
    "lists the map's problems.\n"
    "\n"
    "  -s, --screen N    only screen N (1 to 9), 80 columns wide, with a ruler of its\n"
    "                    columns and rows\n"
    "      --stats       the numbers of the hero, the enemy kinds and the abilities\n"
    "  -e, --english     in English (Japanese by default)\n"
    "  -h, --help        show this help and end\n"
    "\n"
    "Exit status: 0 without problems, 1 with problems, 2 for a wrong command line or\n"
    "a folder without a data tree.\n";

MapSurvey survey;
bool english = false;

// One screen row of the picture: the game's grid with the figures laid over it.
std::string ScreenRow(int screen, int y) {
    const int gridRow = ScreenRowOrigin(screen) + y;
    std::string cells(reinterpret_cast<const char*>(&survey.gameMap.cells[gridRow][ScreenColumnOrigin(screen)]),
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
    return SjisToUtf8(cells);
}

std::string BorderLine(int firstScreen) {
    std::string line = "+";
    for (int across = 0; across < 3; ++across) {
        std::string label = firstScreen ? Format("-- %s %d ", Pick(english, "画面", "screen"), firstScreen + across) : "";
        // "画面" is two columns wide in three bytes each.
        std::size_t width = english || label.empty() ? label.size() : label.size() - 2;
        line += label + std::string(kScreenColumns - width, '-') + "+";
    }
    return line;
}

std::string Legend() {
    return Format(Pick(english, "● 主人公のスタート   %s クイーン   %s キング\n========== 門（画面 %d の列 %d〜%d、行 0 と 1）\n",
                       "● the hero's start   %s Queen   %s King\n========== the gate (screen %d, columns %d to %d of "
                       "rows 0 and 1)\n"),
                  SjisToUtf8(enemyKinds[kQueen].glyph).c_str(), SjisToUtf8(enemyKinds[kKing].glyph).c_str(),
                  gateSpot.screen, gateSpot.column - 1, gateSpot.column + 8);
}

// The groups of a screen: on one line, or one a line.
std::string GroupList(int screen, bool lineEach) {
    std::string list;
    for (int i = 0; i < survey.placements[screen].count; ++i) {
        const RoamingEnemy& e = survey.placements[screen].entries[i];
        list += (lineEach ? "\n  " : "  ") + SjisToUtf8(KindGlyph(e.kind)) +
                Format(Pick(english, " ×%d (%d, %d)", " x%d at (%d, %d)"), static_cast<int>(e.groupSize),
                       static_cast<int>(e.x), static_cast<int>(e.y));
    }
    return Format("%s %d:%s\n", Pick(english, "画面", "screen"), screen,
                  list.empty() ? Pick(english, "  敵なし", "  no enemies") : list.c_str());
}

void PrintWorld() {
    std::string text;
    for (int gridRow = 0; gridRow < kWorldRows; ++gridRow) {
        if (gridRow % kScreenRows == 0) text += BorderLine(gridRow / kScreenRows * 3 + 1) + "\n";
        std::string line = "|";
        for (int across = 0; across < 3; ++across)
            line += ScreenRow((gridRow / kScreenRows) * 3 + across + 1, gridRow % kScreenRows) + "|";
        text += line + "\n";
    }
    text += BorderLine(0) + "\n" + Legend();
    for (int screen = 1; screen <= kScreenCount; ++screen) text += GroupList(screen, false);
    PrintText(text);
}

// One screen, 66 columns: the rows numbered on the left, the columns on a
// two-line ruler above and below (tens, then units), as the placement files
// and the hero file count them, from 0.
void PrintScreen(int screen) {
    std::string tens = "    ", units = "    ";
    for (int x = 0; x < kScreenColumns; ++x) {
        tens += x % 10 == 0 ? static_cast<char>('0' + x / 10) : ' ';
        units += static_cast<char>('0' + x % 10);
    }
    tens.erase(tens.find_last_not_of(' ') + 1);
    const std::string ruler = tens + "\n" + units + "\n";
    const std::string border = "   +" + std::string(kScreenColumns, '-') + "+\n";
    std::string text = Format("%s %d\n", Pick(english, "画面", "screen"), screen) + ruler + border;
    for (int y = 0; y < kScreenRows; ++y) text += Format("%2d |", y) + ScreenRow(screen, y) + Format("| %d\n", y);
    text += border + ruler + Legend() + GroupList(screen, true);
    PrintText(text);
}

int Refuse(const std::string& what) {
    std::fprintf(stderr, "%s: %s; try '%s --help'\n", kProgram, what.c_str(), kProgram);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const option options[] = {{"screen", required_argument, nullptr, 's'},
                              {"stats", no_argument, nullptr, 't'},
                              {"english", no_argument, nullptr, 'e'},
                              {"help", no_argument, nullptr, 'h'},
                              {nullptr, 0, nullptr, 0}};
    bool help = false, stats = false;
    int screen = 0;
    opterr = 0;
    for (int letter; (letter = getopt_long(argc, argv, ":s:eh", options, nullptr)) != -1;) {
        if (letter == 'e') english = true;
        else if (letter == 'h') help = true;
        else if (letter == 't') stats = true;
        else if (letter == 's') {
            char* end = nullptr;
            long value = std::strtol(optarg, &end, 10);
            if (*optarg == '\0' || *end != '\0' || value < 1 || value > kScreenCount)
                return Refuse(std::string("the screen '") + optarg + "' is not a number from 1 to 9");
            screen = static_cast<int>(value);
        } else if (letter == ':') {
            return Refuse(std::string("option '") + argv[optind - 1] + "' needs a value");
        } else {
            return Refuse(std::string("unrecognized option '") + argv[optind - 1] + "'");
        }
    }
    if (argc - optind > 1) return Refuse(std::string("unexpected argument '") + argv[optind + 1] + "'");
    if (help) return PrintText(english ? kHelpEn : kHelpJa) ? 0 : 1;
    const std::string tree = optind < argc ? argv[optind] : ".";
    const std::string missing = DataTreeMissing(kProgram, tree, english);
    if (!missing.empty()) {
        std::fprintf(stderr, "%s\n", missing.c_str());
        return 2;
    }
    SetToolDataRoot(tree.c_str());

    static ProblemList problems;
    problems.root = tree;
    ClearRecords();
    const ProblemText glyphs = {"記号が読めません", "the figures' glyphs"};
    if (!LoadHeroStatus()) ReportUnopened(problems, kHeroStatusPath, {"主人公のスタートが読めません", "the hero's start"});
    for (int i = 0; i < kEnemyKindCount; ++i) {
        if (!LoadEnemyKind(enemyKinds[i], kEnemyKindPaths[i])) ReportUnopened(problems, kEnemyKindPaths[i], glyphs);
    }
    for (int i = 0; i < kAbilityCount; ++i) LoadAbility(abilities[i], kAbilityPaths[i]);
    SurveyMap(survey, problems);
    if (stats) PrintText(StatsText(english));
    if (survey.usable) {
        if (screen > 0) PrintScreen(screen);
        else if (!stats) PrintWorld();
        WalkWorld(survey, problems);
        if (screen == 0 && !stats) {
            PrintText(Format(Pick(english, "門が開く前に行ける画面:%s、開いた後:%s\n",
                                  "screens reached before the gate opens:%s; after:%s\n"),
                             survey.reachedBefore.c_str(),
                             survey.gateOpens ? survey.reachedAfter.c_str()
                                              : Pick(english, "（門は開きません）", " (the gate never opens)")));
        }
    }

    if (problems.found.empty()) {
        PrintText(Pick(english, "問題は見つかりませんでした。\n", "No problems found.\n"));
        return 0;
    }
    std::string text = Pick(english, "問題:\n", "Problems:\n");
    for (const std::string& problem : SortedLines(problems, english)) text += "  " + problem + "\n";
    PrintText(text);
    return 1;
}
