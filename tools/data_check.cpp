// chessrpg-data-check [OPTION]... [FOLDER]: reads every file of a data tree as
// the game does and prints one line per problem, "file: line L, column C:
// what is wrong (what is allowed)", in Japanese or, with --english, in
// English. Exit status: 0 without problems, 1 with problems, 2 for a wrong
// command line or a folder without a data tree.
#include <getopt.h>

#include <cstdio>
#include <string>

#include "tools/record_checks.h"
#include "tools/recording_check.h"
#include "tools/save_checks.h"
#include "tools/tool_command.h"
#include "tools/tool_platform.h"

namespace {

constexpr char kProgram[] = "chessrpg-data-check";

const char kHelpJa[] =
    "使い方: chessrpg-data-check [オプション]... [フォルダ]\n"
    "フォルダ（省略するとカレントディレクトリ）のデータツリーを、ゲームと同じように\n"
    "読んで調べ、問題を 1 行に 1 つずつ、ファイル、行、列と直し方をつけて表示します。\n"
    "\n"
    "  -e, --english     メッセージを英語で表示する\n"
    "      --save FILE   ゲームのセーブ FILE も、フォルダのデータツリーの世界の\n"
    "                    セーブとして調べる（前の版のセーブは、それが指すツリーと）\n"
    "      --recording FILE\n"
    "                    ゲームの録画 FILE も、フォルダのデータツリーとこの版の\n"
    "                    録画として調べ、最後まで再生できるかを確かめる\n"
    "  -h, --help        この説明を表示して終わる\n"
    "\n"
    "終了ステータス: 問題なし 0、問題あり 1、コマンドラインの誤りやデータツリーが\n"
    "ないとき 2。データの書き方は、ゲームの文書のフォルダ（share/doc/chessrpg）の\n"
    "docs/modding.md にあります。\n";

const char kHelpEn[] =
    "Usage: chessrpg-data-check [OPTION]... [FOLDER]\n"
    "Reads the data tree in FOLDER (by default the working directory) as the game\n"
    "reads it and prints one line per problem, with its file, line, column and fix.\n"
    "\n"
    "  -e, --english     messages in English (Japanese by default)\n"
    "      --save FILE   also check FILE, a save of the game, as a save of the world\n"
    "                    of FOLDER (a save of an earlier version: of the tree it names)\n"
    "      --recording FILE\n"
    "                    also check FILE, a recording of the game, as one of the\n"
    "                    data tree in FOLDER and this version, and replay it to its end\n"
    "  -h, --help        show this help and end\n"
    "\n"
    "Exit status: 0 without problems, 1 with problems, 2 for a wrong command line or\n"
    "a folder without a data tree. How to write the data: docs/modding.md in the\n"
    "game's documentation folder (share/doc/chessrpg).\n";

int Refuse(const std::string& what) {
    std::fprintf(stderr, "%s: %s; try '%s --help'\n", kProgram, what.c_str(), kProgram);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const option options[] = {{"english", no_argument, nullptr, 'e'},
                              {"save", required_argument, nullptr, 's'},
                              {"recording", required_argument, nullptr, 'r'},
                              {"help", no_argument, nullptr, 'h'},
                              {nullptr, 0, nullptr, 0}};
    bool english = false, help = false;
    const char* save = nullptr;
    const char* recording = nullptr;
    opterr = 0;
    for (int letter; (letter = getopt_long(argc, argv, ":eh", options, nullptr)) != -1;) {
        if (letter == 'e') english = true;
        else if (letter == 'h') help = true;
        else if (letter == 's') save = optarg;
        else if (letter == 'r') recording = optarg;
        else if (letter == ':') return Refuse(std::string("option '") + argv[optind - 1] + "' needs a value");
        else return Refuse(std::string("unrecognized option '") + argv[optind - 1] + "'");
    }
    if (argc - optind > 1) return Refuse(std::string("unexpected argument '") + argv[optind + 1] + "'");
    if (help) return PrintText(english ? kHelpEn : kHelpJa) ? 0 : 1;

    std::string tree = save ? SaveTree(save) : "";
    if (optind < argc) tree = argv[optind];
    if (tree.empty()) tree = ".";
    const std::string missing = DataTreeMissing(kProgram, tree, english);
    if (!missing.empty()) {
        std::fprintf(stderr, "%s\n", missing.c_str());
        return 2;
    }
    SetToolDataRoot(tree.c_str());
    static ProblemList problems;
    problems.root = tree;
    CheckDataTree(problems);
    if (save) CheckSaveFile(problems, save);
    std::string text;
    for (const std::string& line : SortedLines(problems, english)) text += line + "\n";
    if (problems.found.empty()) text = Pick(english, "問題は見つかりませんでした。\n", "No problems found.\n");
    if (!PrintText(text)) return 2;
    if (recording) CheckRecording(recording, english, problems.found.empty() ? 0 : 1);
    return problems.found.empty() ? 0 : 1;
}
