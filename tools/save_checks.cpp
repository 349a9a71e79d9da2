#include "tools/save_checks.h"

#include <cstdio>

#include "field/map_files.h"
#include "field/world_map.h"
#include "game/save_file.h"
#include "platform/platform.h"

namespace {

// The layouts again, with the gate closed as the game has them at start (the
// world walk leaves it open). False when one cannot be read.
bool ReadLayoutsAgain() {
    char prefix[40];
    LayoutPrefix(prefix, 1);
    bool all = true;
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        char path[80];
        std::snprintf(path, sizeof path, "%s%d.txt", prefix, screen);
        all = ReadScreenLayout(path, screen) && all;
    }
    return all;
}

}  // namespace

void CheckSaveFile(ProblemList& problems, const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        ReportProblem(problems, path, 0, 0, {"開けません（ゲームのセーブ）", "cannot be opened (a save of the game)"});
        return;
    }
    SavedGame game;
    SaveProblems found;
    if (ReadSave(file, game, found) && ReadLayoutsAgain()) {
        char tree[4096];
        CheckSaveFits(game, PlatformDataTreePath(tree, sizeof tree) ? tree : "", found);
    }
    std::fclose(file);
    // The save reader's own words, in English in both languages.
    for (const SaveProblem& problem : found) {
        if (problem.item > 0) {
            ReportProblem(problems, path, 0, 0,
                          {Format("項目 %d: %s", problem.item, problem.text.c_str()),
                           Format("item %d: %s", problem.item, problem.text.c_str())});
        } else {
            ReportProblem(problems, path, 0, 0, {problem.text, problem.text});
        }
    }
}

std::string SaveTree(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return "";
    // The tree item is kept even when other items are wrong: a save changed by
    // hand is checked against its own tree.
    SavedGame game;
    SaveProblems found;
    ReadSave(file, game, found);
    std::fclose(file);
    return game.tree;
}
