// The data checker on copies of the shipped data with one thing broken.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "records/text_reader.h"
#include "tests/test_support.h"
#include "tools/record_checks.h"

namespace {

using Lines = std::vector<std::string>;

class DataCheckTest : public ::testing::Test {
protected:
    TempTree tree;
    void SetUp() override {
        CopyShippedData(tree);
        HeadlessReset(tree.root);
    }
    Lines Check() {
        static ProblemList problems;
        CheckDataTree(problems);
        return SortedLines(problems);
    }
    std::vector<std::string> Items(const std::string& path) {
        std::ifstream in(tree.root + "/" + path, std::ios::binary);
        std::vector<std::string> items;
        std::string item;
        while (in >> item) items.push_back(item);
        return items;
    }
    // Rewrites a file with item `item` (from 1) replaced; "" drops it and all after it.
    void SetItem(const std::string& path, int item, const std::string& bytes) {
        std::vector<std::string> items = Items(path);
        if (bytes.empty()) items.resize(static_cast<std::size_t>(item - 1));
        else items.at(static_cast<std::size_t>(item - 1)) = bytes;
        std::string text;
        for (const std::string& each : items) text += each + "\n";
        tree.Write(path, text);
    }
};

const char kHero[] = "Hero_Info/Hero_Status_Info.txt";
const char kPawn[] = "Enemy_Info/Pawn_Status_Info.txt";
const char kSwordCut[] = "Abilities/SwordCut.txt";

TEST_F(DataCheckTest, TheShippedDataHasNoProblems) { EXPECT_EQ(Check(), Lines{}); }

TEST_F(DataCheckTest, MissingFilesAreNamed) {
    tree.Remove("Abilities/Flame.txt");
    tree.Remove("Enemy_Info/Knight_Status_Info.txt");
    tree.Remove("map_info/map1/5.txt");
    tree.Remove("map_form/map1/4.txt");
    EXPECT_EQ(Check(), (Lines{
                           "Enemy_Info/Knight_Status_Info.txt: missing (the game needs every data file)",
                           "Abilities/Flame.txt: missing (the game needs every data file)",
                           "map_form/map1/4.txt: missing (the game cannot start without it)",
                           "map_info/map1/5.txt: missing (the game needs every data file)",
                       }));
}

TEST_F(DataCheckTest, FilesAreFoundAndOpenedAsTheGameDoes) {
    namespace fs = std::filesystem;
    // Names in another case: the game finds them.
    fs::rename(tree.root + "/map_form", tree.root + "/MAP_FORM");
    fs::rename(tree.root + "/" + kHero, tree.root + "/Hero_Info/hero_status_info.txt");
    // What is not a regular file the game takes for missing.
    tree.Remove("Enemy_Info/Knight_Status_Info.txt");
    fs::create_directory(tree.root + "/Enemy_Info/Knight_Status_Info.txt");
    tree.Remove("MAP_FORM/map1/4.txt");
    fs::create_symlink("/dev/null", tree.root + "/MAP_FORM/map1/4.txt");
    tree.Write(kSwordCut, " \r\n");
    EXPECT_EQ(Check(), (Lines{
                           "Enemy_Info/Knight_Status_Info.txt: is a folder: the game takes it for missing (the game "
                           "needs every data file)",
                           "Abilities/SwordCut.txt: item 1: name is missing: the file ends after item 0 (4 items)",
                           "map_form/map1/4.txt: is not a regular file (a pipe or a device): the game takes it for "
                           "missing (the game cannot start without it)",
                       }));
}

TEST_F(DataCheckTest, AFileIsReadNoFurtherThanTheGameReadsIt) {
    SetItem(kPawn, 1, std::string(kTextFileLimit, 'P'));
    EXPECT_EQ(Check(), (Lines{
                           "Enemy_Info/Pawn_Status_Info.txt: the game reads no more than its first 1048576 bytes (a "
                           "shorter file)",
                           "Enemy_Info/Pawn_Status_Info.txt: item 1: name is 1048576 bytes long (at most 19)",
                           "Enemy_Info/Pawn_Status_Info.txt: item 2: kind number is missing: the file ends after "
                           "item 1 (12 items)",
                       }));
}

TEST_F(DataCheckTest, AFileThatEndsEarlyIsReportedOnceAtItsEnd) {
    // The fields after the end stay 0 (level 0, defense 0...): they are not
    // reported again, the missing item says it all.
    SetItem(kHero, 4, "");
    SetItem("map_info/map1/1.txt", 8, "");
    SetItem("map_info/map1.txt", 10, "");
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: item 4: defense is missing: the file ends after item 3 (22 items)",
                           "map_info/map1.txt: item 10: start screen is missing: the file ends after item 9 (10 items)",
                           "map_info/map1/1.txt: item 8: enemy 2 column is missing: the file ends after item 7 (9 items)",
                       }));
}

TEST_F(DataCheckTest, ANonNumberStopsReadingAndIsTheOnlyProblemOfItsFile) {
    SetItem(kPawn, 8, "x5");     // defense, which would read as 0 after it
    SetItem(kSwordCut, 3, "2a");  // the game would read 2, then stop at "a"
    SetItem("map_info/map1/3.txt", 1, "three");
    EXPECT_EQ(Check(), (Lines{
                           "Enemy_Info/Pawn_Status_Info.txt: item 8: defense \"x5\" is not a number; the game stops "
                           "reading here (0 to 65535)",
                           "Abilities/SwordCut.txt: item 3: rate \"2a\" is not a number; the game stops reading here "
                           "(0 to 65535)",
                           "map_info/map1/3.txt: item 1: enemy count \"three\" is not a number; the game stops reading "
                           "here (-2147483648 to 2147483647)",
                       }));
}

TEST_F(DataCheckTest, NumbersTooWideForTheirFieldAreReportedOncePerItem) {
    SetItem(kHero, 3, "70000");   // attack
    SetItem(kHero, 2, "65536");   // max HP: also stored as 0, one line for both
    SetItem(kHero, 9, "-1");      // exp, 32 bits
    SetItem("map_info/map1.txt", 9, "40000");  // the gate's unused row, 16 bits
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: item 2: max HP 65536 does not fit its field (0 to 65535)",
                           "Hero_Info/Hero_Status_Info.txt: item 3: attack 70000 does not fit its field (0 to 65535)",
                           "Hero_Info/Hero_Status_Info.txt: item 9: exp -1 does not fit its field (0 to 2147483647)",
                           "map_info/map1.txt: item 9: gate row 40000 does not fit its field (-32768 to 32767)",
                       }));
}

TEST_F(DataCheckTest, NamesAndGlyphsMustFitAndBeShiftJis) {
    SetItem(kHero, 1, Sjis("あいうえおかきく"));           // 16 bytes
    SetItem(kSwordCut, 1, "ABCDEFGHIJKLMNOPQRST");        // 20 bytes
    SetItem(kPawn, 1, "ab\x82\x7F");                      // 0x7F is no trail byte
    SetItem("Enemy_Info/Knight_Status_Info.txt", 3, "N");
    SetItem("Enemy_Info/King_Status_Info.txt", 3, Sjis("王a"));
    SetItem("Enemy_Info/Queen_Status_Info.txt", 1, "Queen\xFD");
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: item 1: name is 16 bytes long (at most 15)",
                           "Enemy_Info/Pawn_Status_Info.txt: item 1: name is not valid Shift-JIS at byte 3 (code "
                           "page 932 text)",
                           "Enemy_Info/Knight_Status_Info.txt: item 3: glyph \"N\" is not one full-width character "
                           "(one double-byte character)",
                           "Enemy_Info/Queen_Status_Info.txt: item 1: name is not valid Shift-JIS at byte 6 (code "
                           "page 932 text)",
                           "Enemy_Info/King_Status_Info.txt: item 3: glyph \"" + Sjis("王a") +
                               "\" is not one full-width character (one double-byte character)",
                           "Abilities/SwordCut.txt: item 1: name is 20 bytes long (at most 19)",
                       }));
}

TEST_F(DataCheckTest, HeroValuesThatBreakBattles) {
    SetItem(kHero, 2, "40000");  // max HP past the signed HP count
    SetItem(kHero, 4, "0");      // defense
    SetItem(kHero, 6, "0");      // magic defense
    SetItem(kHero, 8, "0");      // next level exp, with exp 0
    SetItem(kHero, 10, "0");     // level
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: item 2: max HP 40000: the HP count wraps below zero (1 "
                           "to 32767)",
                           "Hero_Info/Hero_Status_Info.txt: item 4: defense 0: the enemies' damage divides by it (1 "
                           "to 65535)",
                           "Hero_Info/Hero_Status_Info.txt: item 6: magic defense 0: the enemies' damage divides by "
                           "defense times magic defense (1 to 65535)",
                           "Hero_Info/Hero_Status_Info.txt: item 8: next level exp 0 is not above exp 0: the first "
                           "victory raises the level (1 to 2147483647)",
                           "Hero_Info/Hero_Status_Info.txt: item 10: level 0: levels count from 1 (1 to 65535)",
                       }));
    SetItem(kHero, 2, "0");
    EXPECT_EQ(Check().at(0), "Hero_Info/Hero_Status_Info.txt: item 2: max HP 0: the hero starts every battle fallen "
                             "(1 to 32767)");
}

TEST_F(DataCheckTest, TheLargestExpLeavesNoRoomForTheNextLevel) {
    SetItem(kHero, 9, "2147483647");
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: item 9: exp 2147483647 leaves no next level exp above "
                           "it: the first victory raises the level (0 to 2147483646)",
                       }));
}

TEST_F(DataCheckTest, EnemyAndAbilityValuesThatBreakBattles) {
    SetItem(kPawn, 2, "9");  // kind number
    SetItem(kPawn, 6, "0");  // max HP
    SetItem(kPawn, 12, "5");  // ability number
    SetItem("Enemy_Info/Rook_Status_Info.txt", 8, "0");   // defense
    SetItem("Enemy_Info/Rook_Status_Info.txt", 10, "0");  // magic defense
    SetItem(kSwordCut, 3, "0");
    SetItem(kSwordCut, 4, "0");
    // The Queen and King do not fight: their numbers are not checked.
    SetItem("Enemy_Info/Queen_Status_Info.txt", 8, "0");
    SetItem("Enemy_Info/King_Status_Info.txt", 6, "0");
    EXPECT_EQ(Check(), (Lines{
                           "Enemy_Info/Pawn_Status_Info.txt: item 2: kind number 9: the enemy banner shows no name "
                           "(1 to 6)",
                           "Enemy_Info/Pawn_Status_Info.txt: item 6: max HP 0: every instance has fallen before the "
                           "battle (1 to 32767)",
                           "Enemy_Info/Pawn_Status_Info.txt: item 12: ability number 5: there is no such ability (0 "
                           "to 4)",
                           "Enemy_Info/Rook_Status_Info.txt: item 8: defense 0: the hero's damage divides by it (1 "
                           "to 65535)",
                           "Enemy_Info/Rook_Status_Info.txt: item 10: magic defense 0: the hero's damage divides by "
                           "defense times magic defense (1 to 65535)",
                           "Abilities/SwordCut.txt: item 4: power 0 with rate 0: the ability does no damage beyond "
                           "the swing (rate or power 1 or more)",
                       }));
}

TEST_F(DataCheckTest, MapProblemsAsTheWorldPictureFindsThem) {
    SetItem("map_info/map1.txt", 10, "10");  // start screen
    SetItem(kHero, 21, "59");                // start column
    tree.Write("map_info/map1/2.txt", "1\n1 1 0 0\n");
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: item 21: hero column 59 stops the game at start (0 to 58)",
                           "map_info/map1.txt: item 10: start screen 10 stops the game at start (1 to 9)",
                           "map_info/map1/2.txt: item 4: enemy 1 at column 0, row 0 of screen 2 stands in a wall "
                           "(two open cells)",
                       }));
    // With the header usable again: the King in a wall, a long layout line, a
    // walled-up screen.
    SetItem("map_info/map1.txt", 10, "1");
    SetItem(kHero, 21, "28");
    SetItem("map_info/map1.txt", 6, "1");  // the King's row: the screen's top wall
    std::ifstream in(tree.root + "/map_form/map1/5.txt", std::ios::binary);
    std::stringstream layout;
    layout << in.rdbuf();
    tree.Write("map_form/map1/5.txt", " " + layout.str());
    EXPECT_EQ(Check(), (Lines{
                           "map_form/map1/5.txt: line 1 holds 60 characters (59, then a line break)",
                           "map_info/map1.txt: item 5: the King at column 30, row 0 of screen 3 stands in a wall "
                           "(two open cells)",
                           "map_info/map1/2.txt: item 4: enemy 1 at column 0, row 0 of screen 2 stands in a wall "
                           "(two open cells)",
                       }));
}

TEST(TextItemTest, RawItemsKeepTheirBytesAndAreCounted) {
    TempTree tree;
    HeadlessReset(tree.root);
    tree.Write("f.txt", "ab\x82\r\n  12x\t" + std::string(300, 'z') + "\r\n");
    TextReader reader;
    ASSERT_TRUE(OpenTextReader(reader, "f.txt"));
    char buffer[8];
    EXPECT_EQ(ReadTextItem(reader, buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "ab\x82");  // a lone lead byte, kept as written
    EXPECT_EQ(ReadTextItem(reader, buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "12x");
    EXPECT_EQ(ReadTextItem(reader, buffer, sizeof buffer), 300);  // the full length, 7 bytes kept
    EXPECT_STREQ(buffer, "zzzzzzz");
    EXPECT_EQ(reader.items, 3);
    EXPECT_EQ(ReadTextItem(reader, buffer, sizeof buffer), -1);
    EXPECT_EQ(reader.items, 3);
    CloseTextReader(reader);
}

}  // namespace
