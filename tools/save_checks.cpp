#include "tools/save_checks.h"

#include <cerrno>
#include <cstdio>

#include "game/save_file.h"
#include "platform/posix_data_file.h"
#include "platform/state_files.h"

void CheckSaveFile(ProblemList& problems, const char* path) {
    std::FILE* file = OpenRegularFile(path);
    if (!file) {
        ReportProblem(problems, path, 0,
                      errno == EISDIR || errno == ENODEV ? "is not a regular file (a save of the game)"
                                                         : "cannot be opened (a save of the game)");
        return;
    }
    SavedGame game;
    SaveProblems found;
    if (ReadSave(file, game, found)) {
        char tree[4096];
        CheckSaveFits(game, PlatformDataTreePath(tree, sizeof tree) ? tree : "", found);
    }
    std::fclose(file);
    for (const SaveProblem& problem : found) ReportProblem(problems, path, problem.item, problem.text);
}

std::string SaveTree(const char* path) {
    std::FILE* file = OpenRegularFile(path);
    if (!file) return "";
    // The tree item is kept even when other items are wrong: a save changed by
    // hand is checked against its own tree.
    SavedGame game;
    SaveProblems found;
    ReadSave(file, game, found);
    std::fclose(file);
    return game.tree;
}
