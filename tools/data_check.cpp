// data_check [data-folder]: reads every file of a data tree as the game does
// and prints one line per problem, "file: item N: what is wrong (what is
// allowed)". Exit status: 0 without problems, 1 with problems, 2 for a wrong
// command line.
#include <cstdio>

#include "platform/sjis_utf8.h"
#include "tools/record_checks.h"
#include "tools/tool_platform.h"

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: data_check [data-folder]\n");
        return 2;
    }
    if (argc == 2) SetToolDataRoot(argv[1]);
    static ProblemList problems;
    CheckDataTree(problems);
    for (const std::string& line : SortedLines(problems)) std::printf("%s\n", SjisToUtf8(line).c_str());
    if (problems.lines.empty()) {
        std::printf("No problems found.\n");
        return 0;
    }
    return 1;
}
