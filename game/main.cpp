// Program entry: the command line first (its printing options end here, before
// the console is touched), then the game, which never returns.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/fatal_stop.h"
#include "game/command_line.h"
#include "game/game.h"
#include "game/recording.h"
#include "game/saving.h"
#include "game/tree_identity.h"
#include "platform/data_files.h"
#include "platform/program.h"
#include "platform/state_files.h"

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

// A recording far longer than anyone plays is not read.
constexpr long kLargestRecording = 64L << 20;

// Opens the recording to replay, or makes the new one, at the path the
// player named, before the data tree's folder is entered (a relative path is
// the player's working directory's). Null after one line on standard error.
std::FILE* OpenRecordingFile(const char* option, const char* path, bool creating) {
    char why[512];
    std::FILE* file = creating ? PlatformCreateNamedFile(path, why, sizeof why)
                               : PlatformOpenNamedFile(path, why, sizeof why);
    if (!file) std::fprintf(stderr, "chessrpg: %s %s\n", option, why);
    return file;
}

// Reads and checks the recording to replay, on the data tree entered, and
// closes it. False after one line on standard error that says why it cannot
// be replayed.
bool ReadRecording(const char* path, std::FILE* file, Recording& recording) {
    std::string text;
    char block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0 && text.size() <= kLargestRecording;) {
        text.append(block, got);
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    std::string problem;
    if (failed) {
        problem = "cannot be read";
    } else if (text.size() > static_cast<std::size_t>(kLargestRecording)) {
        problem = "larger than 64 MiB: not a recording";
    } else if (!ParseRecording(text, recording, problem)) {
    } else if (recording.program != ProgramAndVersion()) {
        problem = "recorded by " + recording.program + "; this is " + ProgramAndVersion() +
                  ", which may play it differently";
    } else if (recording.tree != DataTreeIdentity()) {
        char tree[4096];
        problem = "recorded on another data tree than " +
                  std::string(PlatformDataTreePath(tree, sizeof tree) ? tree : "this one") +
                  " (its files differ)";
    }
    if (problem.empty()) return true;
    std::fprintf(stderr, "chessrpg: --replay %s: %s\n", path, problem.c_str());
    return false;
}

// The new recording's header, on the data tree entered; false after one line
// on standard error.
bool WriteRecordingHeader(const char* path, std::FILE* file) {
    const std::string header = RecordingHeader(ProgramAndVersion(), DataTreeIdentity());
    if (std::fputs(header.c_str(), file) >= 0 && std::fflush(file) == 0) return true;
    std::fprintf(stderr, "chessrpg: --record %s: cannot be written\n", path);
    std::fclose(file);
    return false;
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
    std::FILE* replayFile = command.replayFile ? OpenRecordingFile("--replay", command.replayFile, false) : nullptr;
    std::FILE* recordFile = command.recordFile ? OpenRecordingFile("--record", command.recordFile, true) : nullptr;
    if ((command.replayFile && !replayFile) || (command.recordFile && !recordFile)) return 2;
    // Entered before the terminal is touched, so that a recording's data tree is known.
    const bool entered = PlatformEnterDataDirectory(command.dataFolder);
    Recording recording;
    if (replayFile && !ReadRecording(command.replayFile, replayFile, recording)) return 2;
    if (recordFile && !WriteRecordingHeader(command.recordFile, recordFile)) return 2;
    PlatformStart();
    // A named folder that cannot be entered stops the game as a missing file
    // does; without one, the loaders find out for themselves.
    if (!entered && command.dataFolder) FatalFileError();
    bool figure = false;  // the first screen shows its standing figure
    if (command.replayFile) {
        ReplaySettings settings;
        settings.texts = ReplayTextsOfTheGame();
        BeginReplay(recording, settings);  // never saves
    } else if (command.trial.on) {
        StartGame();
        BeginTrialRun(command.trial);  // never saves
        figure = command.trial.placed;
    } else {
        figure = BeginJourney(command.continuing ? JourneyStart::kContinue
                              : command.newGame  ? JourneyStart::kNew
                                                 : JourneyStart::kAsk,
                              ContinueCommand(argv[0]));
    }
    if (recordFile) BeginRecording(recordFile, figure);
    MainLoop();
}
