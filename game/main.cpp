// Program entry: the command line first (its printing options end here, before
// the console is touched), then the game, which never returns.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/fatal_stop.h"
#include "game/command_line.h"
#include "game/game.h"
#include "game/saving.h"
#include "platform/data_files.h"
#include "platform/program.h"

namespace {

// How the player starts this copy of the game again to continue: as the
// script that started it says (CHESSRPG_COMMAND, e.g. "./build.sh play"), else
// the program as it was called, with --continue.
std::string ContinueCommand(const char* program) {
    const char* given = std::getenv("CHESSRPG_COMMAND");
    if (given && given[0] != '\0') return given;
    return std::string(program && program[0] != '\0' ? program : "chessrpg") + " --continue";
}

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
    if (command.trial.on) {
        StartGame();
        BeginTrialRun(command.trial);  // never saves
    } else {
        BeginJourney(command.continuing ? JourneyStart::kContinue
                     : command.newGame  ? JourneyStart::kNew
                                        : JourneyStart::kAsk,
                     ContinueCommand(argv[0]));
    }
    MainLoop();
}
