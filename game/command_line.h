// The program's command line: GNU-style options, read before the console is
// touched, so that --help, --version and mistakes print to the shell and end.
#pragma once

#include <string>

#include "game/trial_run.h"

enum class CommandAction { kPlay, kHelp, kVersion, kError };

struct CommandLine {
    CommandAction action = CommandAction::kPlay;
    const char* dataFolder = nullptr;  // --data DIR: play this tree and no other
    bool continuing = false;           // --continue: go on with the world's saved journey
    bool newGame = false;              // --new: begin a new journey; the saved one is set aside
    TrialRun trial;                    // --start, --no-enemies: try a world, never saved
    const char* recordFile = nullptr;  // --record FILE: the journey is recorded into a new FILE
    const char* replayFile = nullptr;  // --replay FILE: the recording in FILE is played back
    std::string error;                 // kError: the one line for standard error
};

// Reads the options in argv. A mistake anywhere makes the whole line an error,
// whatever else it asks for; otherwise --help wins over --version over play.
CommandLine ParseCommandLine(int argc, char** argv);

// "chessrpg 1.0.0", then the copyright and the licence (MIT).
std::string VersionText();
// "chessrpg 1.0.0": the program as a recording names it.
std::string ProgramAndVersion();

// Usage, options, keys, and the folders searched for the data tree.
std::string HelpText();
