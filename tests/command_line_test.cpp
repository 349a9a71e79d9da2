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

}  // namespace
