// data_check [data-folder]: reads every file of a data tree as the game does
// and prints one line per problem, "file: item N: what is wrong (what is
// allowed)". data_check --save FILE [data-folder]: the same for a save file and
// the data tree it belongs to (by default the one it names). Exit status: 0
// without problems, 1 with problems, 2 for a wrong command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sjis_utf8.h"
#include "tools/record_checks.h"
#include "tools/save_checks.h"
#include "tools/tool_platform.h"

int main(int argc, char** argv) {
    const char* save = nullptr;
    int first = 1;
    if (argc >= 3 && std::strcmp(argv[1], "--save") == 0) {
        save = argv[2];
        first = 3;
    }
    if (argc > first + 1 || (argc == first + 1 && argv[first][0] == '-')) {
        std::fprintf(stderr, "usage: data_check [data-folder]\n       data_check --save FILE [data-folder]\n");
        return 2;
    }
    std::string tree = save ? SaveTree(save) : "";
    if (argc == first + 1) tree = argv[first];
    if (!tree.empty()) SetToolDataRoot(tree.c_str());
    static ProblemList problems;
    CheckDataTree(problems);
    if (save) CheckSaveFile(problems, save);
    for (const std::string& line : SortedLines(problems)) std::printf("%s\n", SjisToUtf8(line).c_str());
    if (problems.lines.empty()) {
        std::printf("No problems found.\n");
        return 0;
    }
    return 1;
}
