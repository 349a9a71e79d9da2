// Reading the program's options: what each asks for, and the one line a
// mistake gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/command_line.h"

namespace {

// Parses the words after the program's name; the words stay alive with the result.
struct Parsed {
    std::vector<std::string> words;
    std::vector<char*> argv;
    CommandLine command;
};

Parsed Parse(std::vector<std::string> words) {
    Parsed parsed;
    parsed.words = std::move(words);
    parsed.words.insert(parsed.words.begin(), "/usr/games/chessrpg");
    for (std::string& word : parsed.words) parsed.argv.push_back(&word[0]);
    parsed.argv.push_back(nullptr);
    parsed.command = ParseCommandLine(static_cast<int>(parsed.words.size()), parsed.argv.data());
    return parsed;
}

std::string Folder(const Parsed& parsed) {
    return parsed.command.dataFolder ? parsed.command.dataFolder : "(none)";
}

TEST(CommandLineTest, NoOptionsPlaysWithTheUsualSearch) {
    Parsed parsed = Parse({});
    EXPECT_EQ(parsed.command.action, CommandAction::kPlay);
    EXPECT_EQ(Folder(parsed), "(none)");
}

TEST(CommandLineTest, DataFolderInEveryWritingTheLastWins) {
    EXPECT_EQ(Folder(Parse({"--data", "/w/one"})), "/w/one");
    EXPECT_EQ(Folder(Parse({"--data=/w/two"})), "/w/two");
    EXPECT_EQ(Folder(Parse({"-d", "w three"})), "w three");
    EXPECT_EQ(Folder(Parse({"-dworld"})), "world");
    EXPECT_EQ(Folder(Parse({"--da", "short"})), "short");
    Parsed twice = Parse({"--data", "first", "-d", "second"});
    EXPECT_EQ(twice.command.action, CommandAction::kPlay);
    EXPECT_EQ(Folder(twice), "second");
    // A folder named like an option is still the folder.
    EXPECT_EQ(Folder(Parse({"--data", "--help"})), "--help");
}

TEST(CommandLineTest, ContinueGoesWithTheDataFolderAndNeedsNoValue) {
    EXPECT_FALSE(Parse({}).command.continuing);
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{"--continue"}, {"-c"}, {"--cont"}, {"-cd", "w"}, {"-d", "w", "-c"}}) {
        Parsed parsed = Parse(words);
        EXPECT_EQ(parsed.command.action, CommandAction::kPlay) << words[0];
        EXPECT_TRUE(parsed.command.continuing) << words[0];
    }
    EXPECT_EQ(Folder(Parse({"-cd", "w"})), "w");
    EXPECT_EQ(Parse({"--continue=yes"}).command.error,
              "chessrpg: unrecognized option '--continue=yes'; try 'chessrpg --help'");
}

TEST(CommandLineTest, HelpWinsOverVersionAndPlay) {
    EXPECT_EQ(Parse({"--help"}).command.action, CommandAction::kHelp);
    EXPECT_EQ(Parse({"-h"}).command.action, CommandAction::kHelp);
    EXPECT_EQ(Parse({"--version"}).command.action, CommandAction::kVersion);
    EXPECT_EQ(Parse({"-V"}).command.action, CommandAction::kVersion);
    EXPECT_EQ(Parse({"--vers"}).command.action, CommandAction::kVersion);
    EXPECT_EQ(Parse({"--version", "--data", "x", "--help"}).command.action, CommandAction::kHelp);
    EXPECT_EQ(Parse({"-Vh"}).command.action, CommandAction::kHelp);
}

TEST(CommandLineTest, EachMistakeIsOneLineNamingWhatWasWritten) {
    const char* hint = "; try 'chessrpg --help'";
    struct Case {
        std::vector<std::string> words;
        std::string line;
    } cases[] = {
        {{"--frobnicate"}, "chessrpg: unrecognized option '--frobnicate'"},
        {{"--frob=1"}, "chessrpg: unrecognized option '--frob=1'"},
        {{"--help=yes"}, "chessrpg: unrecognized option '--help=yes'"},
        {{"-x"}, "chessrpg: unrecognized option '-x'"},
        {{"-hx"}, "chessrpg: unrecognized option '-x'"},
        {{"--data"}, "chessrpg: option '--data' needs a value"},
        {{"-d"}, "chessrpg: option '-d' needs a value"},
        {{"world"}, "chessrpg: unexpected argument 'world'"},
        {{"-d", "w", "extra", "--help"}, "chessrpg: unexpected argument 'extra'"},
        // The first mistake is the one reported, and a mistake outweighs --help.
        {{"--help", "-q", "--zap"}, "chessrpg: unrecognized option '-q'"},
    };
    for (const Case& c : cases) {
        Parsed parsed = Parse(c.words);
        EXPECT_EQ(parsed.command.action, CommandAction::kError) << c.line;
        EXPECT_EQ(parsed.command.error, c.line + hint);
    }
}

TEST(CommandLineTest, ParsingAgainStartsAfresh) {
    EXPECT_EQ(Parse({"-x"}).command.action, CommandAction::kError);
    EXPECT_EQ(Parse({"-h"}).command.action, CommandAction::kHelp);
    EXPECT_EQ(Folder(Parse({"--data", "again"})), "again");
}

TEST(CommandLineTest, HelpListsTheSearchedFolders) {
    std::string help = HelpText();
    EXPECT_EQ(help.rfind("Usage: chessrpg [OPTION]...\n", 0), 0u);
    // The headless backend searches the working directory only.
    EXPECT_NE(help.find("one, where . is the working directory:\n  .\n\n"),
              std::string::npos);
}

TEST(CommandLineTest, ATrialRunIsAskedForAndRefusedWithContinue) {
    Parsed start = Parse({"--start", "2,10,5", "-d", "w"});
    EXPECT_EQ(start.command.action, CommandAction::kPlay);
    EXPECT_TRUE(start.command.trial.on);
    EXPECT_TRUE(start.command.trial.placed);
    EXPECT_FALSE(start.command.trial.noEnemies);
    EXPECT_EQ(start.command.trial.column, 10);
    Parsed quiet = Parse({"--no-enemies"});
    EXPECT_TRUE(quiet.command.trial.on);
    EXPECT_TRUE(quiet.command.trial.noEnemies);
    EXPECT_FALSE(quiet.command.trial.placed);
    EXPECT_FALSE(Parse({}).command.trial.on);
    const std::string hint = "; try 'chessrpg --help'";
    EXPECT_EQ(Parse({"--start=1,59,0"}).command.error,
              "chessrpg: --start '1,59,0': give SCREEN,COLUMN,ROW, screen 1 to 9, column 0 to 58, row 0 to 19" + hint);
    EXPECT_EQ(Parse({"--start"}).command.error, "chessrpg: option '--start' needs a value" + hint);
    // Either order, either option: the save is never a trial's.
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"--continue", "--no-enemies"}, {"--start", "1,2,3", "-c"}}) {
        Parsed parsed = Parse(words);
        EXPECT_EQ(parsed.command.action, CommandAction::kError) << words[0];
        EXPECT_EQ(parsed.command.error,
                  "chessrpg: --start and --no-enemies try a world without its save: not with --continue" + hint);
    }
}

}  // namespace
