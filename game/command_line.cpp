#include "game/command_line.h"

#include <getopt.h>

#include "platform/data_files.h"

#ifndef CHESSRPG_VERSION
#define CHESSRPG_VERSION "unknown"
#endif

namespace {

constexpr char kProgram[] = "chessrpg";

// The trial run's options have no letter: getopt_long reports them by these.
constexpr int kStartOption = 1000;
constexpr int kNoEnemiesOption = 1001;
constexpr int kRecordOption = 1002;
constexpr int kReplayOption = 1003;

// Each option: its long name, whether it takes a value, and the short letter
// that getopt_long reports it by. New options go here and in the switch below.
const option kOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"data", required_argument, nullptr, 'd'},
    {"continue", no_argument, nullptr, 'c'},
    {"new", no_argument, nullptr, 'n'},
    {"start", required_argument, nullptr, kStartOption},
    {"no-enemies", no_argument, nullptr, kNoEnemiesOption},
    {"record", required_argument, nullptr, kRecordOption},
    {"replay", required_argument, nullptr, kReplayOption},
    {nullptr, 0, nullptr, 0},
};
constexpr char kShortOptions[] = ":hVd:cn";  // ':' first: a missing value reads as ':'

// The option as the player wrote it: the whole word for a long option (its
// letter is not what was typed), the letter for a short one.
std::string WrittenOption(int argc, char** argv) {
    const char* word = optind > 0 && optind <= argc ? argv[optind - 1] : "";
    if (word[0] == '-' && word[1] == '-') return word;
    return std::string("-") + static_cast<char>(optopt);
}

std::string ErrorLine(const std::string& what) {
    return std::string(kProgram) + ": " + what + "; try '" + kProgram + " --help'";
}

}  // namespace

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine command;
    bool help = false;
    bool version = false;
    opterr = 0;  // the messages are ours, one line each
    optind = 0;  // 0 starts getopt_long afresh, whatever was parsed before
    int letter;
    while ((letter = getopt_long(argc, argv, kShortOptions, kOptions, nullptr)) != -1) {
        switch (letter) {
            case 'h':
                help = true;
                break;
            case 'V':
                version = true;
                break;
            case 'd':
                command.dataFolder = optarg;
                break;
            case 'c':
                command.continuing = true;
                break;
            case 'n':
                command.newGame = true;
                break;
            case kStartOption:
                command.trial.on = true;
                if (!ParseStartPlace(optarg, command.trial) && command.error.empty())
                    command.error = ErrorLine(std::string("--start '") + optarg +
                                              "': give SCREEN,COLUMN,ROW, screen 1 to 9, column 0 to 58, row 0 to 19");
                break;
            case kNoEnemiesOption:
                command.trial.on = true;
                command.trial.noEnemies = true;
                break;
            case kRecordOption:
                command.recordFile = optarg;
                break;
            case kReplayOption:
                command.replayFile = optarg;
                break;
            case ':':
                if (command.error.empty())
                    command.error = ErrorLine("option '" + WrittenOption(argc, argv) + "' needs a value");
                break;
            default:
                if (command.error.empty())
                    command.error = ErrorLine("unrecognized option '" + WrittenOption(argc, argv) + "'");
                break;
        }
    }
    // getopt_long moves the words that are not options to the end.
    if (command.error.empty() && optind < argc)
        command.error = ErrorLine(std::string("unexpected argument '") + argv[optind] + "'");

    if (command.error.empty() && command.continuing && command.newGame)
        command.error = ErrorLine("--continue and --new answer the same question: give one of them");
    // A trial run never touches the save, which --continue plays on and --new sets aside.
    if (command.error.empty() && (command.continuing || command.newGame) && command.trial.on)
        command.error = ErrorLine(std::string("--start and --no-enemies try a world without its save: not with ") +
                                  (command.continuing ? "--continue" : "--new"));

    // A replay plays the journey as it was recorded, from where it began.
    if (command.error.empty() && command.replayFile) {
        const char* other = command.recordFile   ? "--record"
                            : command.continuing ? "--continue"
                            : command.newGame    ? "--new"
                            : command.trial.on   ? (command.trial.placed ? "--start" : "--no-enemies")
                                                 : nullptr;
        if (other) command.error = ErrorLine(std::string("--replay plays a recording as it was made: not with ") + other);
    }

    if (!command.error.empty())
        command.action = CommandAction::kError;
    else if (help)
        command.action = CommandAction::kHelp;
    else if (version)
        command.action = CommandAction::kVersion;
    return command;
}

std::string ProgramAndVersion() { return std::string(kProgram) + " " + CHESSRPG_VERSION; }

std::string VersionText() {
    return ProgramAndVersion() +
           "\nCopyright (c) 2026 the Chess RPG developers.\n"
           "License: MIT <https://opensource.org/license/mit>. This is free software:\n"
           "you are free to change and redistribute it. There is NO WARRANTY.";
}

std::string HelpText() {
    std::string text =
        "Usage: chessrpg [OPTION]...\n"
        "A role-playing game for the text console: the hero walks a world of nine\n"
        "screens and fights the chess pieces that close in on him.\n"
        "\n"
        "Options:\n"
        "  -c, --continue   go on with the journey saved for this world, without asking\n"
        "  -n, --new        begin a new journey without asking; the one saved for\n"
        "                   this world is set aside\n"
        "  -d, --data DIR   play the data tree in DIR (for world authors)\n"
        "      --start S,C,R\n"
        "                   start on screen S (1 to 9), column C (0 to 58), row R\n"
        "                   (0 to 19), to try a world (saves nothing)\n"
        "      --no-enemies no enemy roams the screens, to try a world (saves\n"
        "                   nothing)\n"
        "      --record FILE\n"
        "                   record the journey into FILE, a new file, to watch it\n"
        "                   again with --replay\n"
        "      --replay FILE\n"
        "                   watch the journey recorded in FILE, as it was played, on\n"
        "                   the data tree it was recorded with (saves nothing)\n"
        "  -h, --help       show this help and end\n"
        "  -V, --version    show the version and end\n"
        "\n"
        "Keys:\n"
        "  arrow keys       walk on the field; move the cursor in battle (in the\n"
        "                   target choice, Left and Right go through the enemies)\n"
        "  Enter            choose in battle; end the wait after a message\n"
        "  Right            choose in the command menu, ability list and item window;\n"
        "                   with Down, also ends the wait after a message\n"
        "  Space            step back from the target choice, ability list or items\n"
        "  Left             from the ability list back to the target choice;\n"
        "                   close the item window\n"
        "  Ctrl+C           end the game\n"
        "\n"
        "While a recording is watched: Space pauses and goes on, Right and Up go\n"
        "faster (up to as fast as the terminal draws), Left and Down slower, and\n"
        "Ctrl+C ends. A replay that leaves its recording (another version of the\n"
        "game) stops and says at which key.\n"
        "\n"
        "The game needs a UTF-8 terminal of 80 x 30 (80 x 21 at the least).\n"
        "\n"
        "Without --data, the game plays the data tree (Hero_Info, Enemy_Info,\n"
        "Abilities, map_form, map_info) of the first of these folders that holds\n"
        "one, where . is the working directory:\n";
    for (int n = 0; const char* folder = PlatformDataFolder(n); ++n) text += std::string("  ") + folder + "\n";
    text +=
        "\n"
        "The game saves the journey by itself after every screen change and battle\n"
        "and when it is ended outside a battle, one save per world, in\n"
        "$XDG_STATE_HOME/chessrpg (by default ~/.local/state/chessrpg; on Windows\n"
        "%LOCALAPPDATA%\\chessrpg). A world is its map: every copy of the same world\n"
        "(the repository's, an installed one) goes on with the same journey, and a\n"
        "world whose map was edited begins its own. When a journey is saved, the game\n"
        "asks first whether to continue it (Enter) or begin a new one. A new journey\n"
        "sets the saved one aside at its first save, as save-....aside-1.txt, the\n"
        "older ones moving on to aside-2 and so on (the last 10 are kept). To go back\n"
        "to one, copy it over save-....txt in that folder while no game runs, then\n"
        "start the game and continue. A trial run (--start, --no-enemies) saves\n"
        "nothing, and goes with neither --continue nor --new.\n"
        "\n"
        "When a data file is missing the game says so, waits 30 seconds and ends\n"
        "with status 255. A wrong command line ends with status 2, and so does a\n"
        "recording made by another version or on another data tree. A replay that\n"
        "left its recording ends with status 1.\n";
    return text;
}
