#include "tools/save_checks.h"

#include <cerrno>
#include <cstdio>

#include "field/map_files.h"
#include "field/world_map.h"
#include "game/save_file.h"
#include "game/world_identity.h"
#include "platform/posix_data_file.h"
#include "platform/state_files.h"

namespace {

// The world map read again as the game loads it (the world walk leaves the
// gate open), for its identity; "" when a map file cannot be read.
std::string IdentityOfTree() {
    char prefix[40], header[40];
    LayoutPrefix(prefix, worldNumber);
    MapHeaderPath(header, worldNumber);
    bool read = true;
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        char path[80];
        std::snprintf(path, sizeof path, "%s%d.txt", prefix, screen);
        read = ReadScreenLayout(path, screen) && read;
    }
    MapErrors errors{};
    read = ReadMapHeader(header, errors) && read;
    return read ? WorldIdentity() : "";
}

}  // namespace

void CheckSaveFile(ProblemList& problems, const char* path) {
    std::FILE* file = OpenRegularFile(path);
    if (!file) {
        const bool notFile = errno == EISDIR || errno == ENODEV;
        ReportProblem(problems, path, 0, 0,
                      notFile ? ProblemText{"普通のファイルではありません（ゲームのセーブ）",
                                            "is not a regular file (a save of the game)"}
                              : ProblemText{"開けません（ゲームのセーブ）", "cannot be opened (a save of the game)"});
        return;
    }
    SavedGame game;
    SaveProblems found;
    if (ReadSave(file, game, found)) {
        char tree[4096];
        CheckSaveFits(game, IdentityOfTree(), PlatformDataTreePath(tree, sizeof tree) ? tree : "", found);
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
    std::FILE* file = OpenRegularFile(path);
    if (!file) return "";
    // The tree item is kept even when other items are wrong: a save changed by
    // hand is checked against its own tree.
    SavedGame game;
    SaveProblems found;
    ReadSave(file, game, found);
    std::fclose(file);
    return game.layout == 1 ? game.world : "";
}
