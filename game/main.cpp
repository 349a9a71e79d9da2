// Program entry: the command line first (its printing options end here, before
// the console is touched), then the game, which never returns.
#include <cstdio>

#include "console/fatal_stop.h"
#include "game/command_line.h"
#include "game/game.h"
#include "game/saving.h"
#include "platform/data_files.h"
#include "platform/program.h"

namespace {

// Prints to standard output; a failed write (a full disk, a closed pipe) is a failure.
int PrintAndEnd(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine command = ParseCommandLine(argc, argv);
    switch (command.action) {
        case CommandAction::kHelp:
            return PrintAndEnd(HelpText());
        case CommandAction::kVersion:
            return PrintAndEnd(VersionText() + "\n");
        case CommandAction::kError:
            std::fprintf(stderr, "%s\n", command.error.c_str());
            return 2;
        case CommandAction::kPlay:
            break;
    }
    // A data folder that cannot be used is a mistake of the command line:
    // said before the terminal is touched.
    char why[256];
    if (command.dataFolder && !PlatformCheckDataFolder(command.dataFolder, why, sizeof why)) {
        std::fprintf(stderr, "chessrpg: --data %s: %s\n", command.dataFolder, why);
        return 2;
    }
    PlatformStart();
    // A named folder that cannot be entered stops the game as a missing file
    // does; without one, the loaders find out for themselves.
    if (!PlatformEnterDataDirectory(command.dataFolder) && command.dataFolder) FatalFileError();
    if (command.continuing) ContinueGame();
    else StartGame();
    TurnOnSaving();
    MainLoop();
}
