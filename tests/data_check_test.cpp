// The data checker on copies of the shipped data with one thing broken.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "battle/ability_command.h"
#include "console/console.h"
#include "console/enemy_view.h"
#include "game/game_state.h"
#include "platform/sjis_utf8.h"
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
    Lines Check(bool english = true) {
        static ProblemList problems;
        problems.root = tree.root;
        CheckDataTree(problems);
        return SortedLines(problems, english);
    }
    std::string Read(const std::string& path) {
        std::ifstream in(tree.root + "/" + path, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::vector<std::string> Items(const std::string& path) {
        std::istringstream in(Read(path));
        std::vector<std::string> items;
        std::string item;
        while (in >> item) items.push_back(item);
        return items;
    }
    // Rewrites a file one item a line (item N on line N), with item `item`
    // (from 1) replaced; "" drops it and all after it.
    void SetItem(const std::string& path, int item, const std::string& bytes) {
        std::vector<std::string> items = Items(path);
        if (bytes.empty()) items.resize(static_cast<std::size_t>(item - 1));
        else items.at(static_cast<std::size_t>(item - 1)) = bytes;
        std::string text;
        for (const std::string& each : items) text += each + "\n";
        tree.Write(path, text);
    }
    // Replaces `count` bytes at byte `at` of line `line` (from 1) of a file.
    void EditLine(const std::string& path, int line, std::size_t at, std::size_t count, const std::string& bytes) {
        std::string text = Read(path);
        std::size_t start = 0;
        for (int i = 1; i < line; ++i) start = text.find('\n', start) + 1;
        text.replace(start + at, count, bytes);
        tree.Write(path, text);
    }
};

const char kHero[] = "Hero_Info/Hero_Status_Info.txt";
const char kPawn[] = "Enemy_Info/Pawn_Status_Info.txt";
const char kSwordCut[] = "Abilities/SwordCut.txt";
const char kLayout1[] = "map_form/map1/1.txt";

TEST_F(DataCheckTest, TheShippedDataHasNoProblems) {
    EXPECT_EQ(Check(), Lines{});
    EXPECT_EQ(Check(false), Lines{});
}

TEST_F(DataCheckTest, MissingFilesAreNamed) {
    tree.Remove("Abilities/Flame.txt");
    tree.Remove("Enemy_Info/Knight_Status_Info.txt");
    tree.Remove("map_info/map1/5.txt");
    tree.Remove("map_form/map1/4.txt");
    EXPECT_EQ(Check(), (Lines{
                           "Enemy_Info/Knight_Status_Info.txt: missing (the game does not start without it)",
                           "Abilities/Flame.txt: missing (the game does not start without it)",
                           "map_form/map1/4.txt: missing (the game does not start without it)",
                           "map_info/map1/5.txt: missing (the game stops on entering screen 5)",
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
                           "does not start without it)",
                           "Abilities/SwordCut.txt: name is missing: the file ends after item 0 (4 items)",
                           "map_form/map1/4.txt: is not a regular file (a pipe or a device): the game takes it for "
                           "missing (the game does not start without it)",
                       }));
}

TEST_F(DataCheckTest, AFileIsReadNoFurtherThanTheGameReadsIt) {
    SetItem(kPawn, 1, std::string(kTextFileLimit, 'P'));
    EXPECT_EQ(Check(), (Lines{
                           "Enemy_Info/Pawn_Status_Info.txt: kind number is missing: the file ends after item 1 (12 "
                           "items)",
                           "Enemy_Info/Pawn_Status_Info.txt: the game reads no more than its first 1048576 bytes (a "
                           "shorter file)",
                           "Enemy_Info/Pawn_Status_Info.txt: line 1, column 1: name is 1048576 bytes long: an "
                           "enemy's name holds 19 bytes (9 full-width characters)",
                       }));
}

TEST_F(DataCheckTest, AFileThatEndsEarlyIsReportedOnceAtItsEnd) {
    // The fields after the end stay 0 (level 0, defense 0...): they are not
    // reported again, the missing item says it all.
    SetItem(kHero, 4, "");
    SetItem("map_info/map1/1.txt", 8, "");
    SetItem("map_info/map1.txt", 10, "");
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: defense is missing: the file ends after item 3 (22 items)",
                           "map_info/map1.txt: start screen is missing: the file ends after item 9 (10 items)",
                           "map_info/map1/1.txt: enemy 2 column is missing: the file ends after item 7 (9 items)",
                       }));
}

TEST_F(DataCheckTest, ANonNumberStopsReadingAndIsTheOnlyProblemOfItsFile) {
    SetItem(kPawn, 8, "x5");     // defense, which would read as 0 after it
    SetItem(kSwordCut, 3, "2a");  // the game would read 2, then stop at "a"
    SetItem("map_info/map1/3.txt", 1, "three");
    SetItem("map_info/map1/4.txt", 3, "many");
    // The range is the one the game plays with, not the field's.
    EXPECT_EQ(Check(), (Lines{
                           "Enemy_Info/Pawn_Status_Info.txt: line 8, column 1: defense \"x5\" is not a number; the "
                           "game stops reading here (1 to 65535)",
                           "Abilities/SwordCut.txt: line 3, column 1: rate \"2a\" is not a number; the game stops "
                           "reading here (0 to 65535)",
                           "map_info/map1/3.txt: line 1, column 1: enemy count \"three\" is not a number; the game "
                           "stops reading here (0 to 5)",
                           "map_info/map1/4.txt: line 3, column 1: enemy 1 group size \"many\" is not a number; the "
                           "game stops reading here (1 to 7)",
                       }));
}

TEST_F(DataCheckTest, NumbersTooWideForTheirFieldAreReportedOncePerItem) {
    SetItem(kHero, 3, "70000");   // attack
    SetItem(kHero, 2, "65536");   // max HP: also stored as 0, one line for both
    SetItem(kHero, 9, "-1");      // exp, 32 bits
    SetItem("map_info/map1.txt", 9, "40000");  // the gate's unused row, 16 bits
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: line 2, column 1: max HP 65536 does not fit its field: "
                           "the game reads another number (1 to 32767)",
                           "Hero_Info/Hero_Status_Info.txt: line 3, column 1: attack 70000 does not fit its field: "
                           "the game reads another number (0 to 65520)",
                           "Hero_Info/Hero_Status_Info.txt: line 9, column 1: exp -1 does not fit its field: the "
                           "game reads another number (0 to 2147483647)",
                           "map_info/map1.txt: line 9, column 1: gate row (not used) 40000 does not fit its field: "
                           "the game reads another number (-32768 to 32767)",
                       }));
}

TEST_F(DataCheckTest, NamesAndGlyphsMustFitAndBeShiftJis) {
    SetItem(kHero, 1, Sjis("あいうえおかきく"));           // 16 bytes
    SetItem(kSwordCut, 1, "ABCDEFGHIJKLMNOPQRST");        // 20 bytes
    SetItem(kPawn, 1, "ab\x82\x7F");                      // 0x7F is no trail byte
    SetItem("Enemy_Info/Knight_Status_Info.txt", 3, "N");
    SetItem("Enemy_Info/King_Status_Info.txt", 3, Sjis("王a"));
    SetItem("Enemy_Info/Queen_Status_Info.txt", 1, "Queen\x85\x40");  // well formed, but no character
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: line 1, column 1: name is 16 bytes long: the hero's "
                           "name holds 15 bytes (7 full-width characters)",
                           "Enemy_Info/Pawn_Status_Info.txt: line 1, column 3: byte 0x82 is no Shift-JIS (CP932) "
                           "character: save the file as CP932",
                           "Enemy_Info/Knight_Status_Info.txt: line 3, column 1: glyph \"N\" is not one full-width "
                           "character (one double-byte character)",
                           "Enemy_Info/Queen_Status_Info.txt: line 1, column 6: byte 0x85 is no Shift-JIS (CP932) "
                           "character: save the file as CP932",
                           "Enemy_Info/King_Status_Info.txt: line 3, column 1: glyph \"王a\" is not one full-width "
                           "character (one double-byte character)",
                           "Abilities/SwordCut.txt: line 1, column 1: name is 20 bytes long: line 1 of the ability "
                           "list holds 9 bytes (4 full-width characters)",
                       }));
}

TEST_F(DataCheckTest, NamesMustFitTheWindowOrBannerThatShowsThem) {
    SetItem("Abilities/HellFlame.txt", 1, "ABCDEFGHIJ");         // line 4 of the list: 9 bytes
    SetItem("Abilities/Flame.txt", 1, Sjis("アイウエオ") + "x");  // line 2: 11 bytes, whole
    SetItem("Abilities/BigRevolveSword.txt", 1, Sjis("アイウエオカキ"));  // line 3: 14 of 12
    SetItem(kPawn, 1, Sjis("アイウエオカ") + "x");                // kind 1's banner: 13 of 12
    SetItem("Enemy_Info/Bishop_Status_Info.txt", 1, Sjis("アイウエオカキ"));  // kind 3's: 14, whole
    SetItem("Enemy_Info/Queen_Status_Info.txt", 1, Sjis("アイウエオカキクケ"));  // never shown
    EXPECT_EQ(Check(), (Lines{
                           "Enemy_Info/Pawn_Status_Info.txt: line 1, column 1: name is 13 bytes long: the enemy "
                           "banner of kind number 1 holds 12 bytes (6 full-width characters)",
                           "Abilities/BigRevolveSword.txt: line 1, column 1: name is 14 bytes long: line 3 of the "
                           "ability list holds 12 bytes (6 full-width characters)",
                           "Abilities/HellFlame.txt: line 1, column 1: name is 10 bytes long: line 4 of the ability "
                           "list holds 9 bytes (4 full-width characters)",
                       }));
}

TEST_F(DataCheckTest, HeroValuesThatBreakBattles) {
    SetItem(kHero, 2, "40000");  // max HP past the signed HP count
    SetItem(kHero, 4, "0");      // defense
    SetItem(kHero, 6, "0");      // magic defense
    SetItem(kHero, 7, "40000");  // speed
    SetItem(kHero, 8, "0");      // next level exp, with exp 0
    SetItem(kHero, 10, "0");     // level
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: line 2, column 1: max HP 40000: the HP count wraps below "
                           "zero (1 to 32767)",
                           "Hero_Info/Hero_Status_Info.txt: line 4, column 1: defense 0: it counts as 1, and two "
                           "thirds of the hero's exp are added to every enemy hit (1 to 65520)",
                           "Hero_Info/Hero_Status_Info.txt: line 6, column 1: magic defense 0: it counts as 1, and "
                           "two thirds of the hero's exp are added to every enemy hit (1 to 65535)",
                           "Hero_Info/Hero_Status_Info.txt: line 7, column 1: speed 40000: the dodge test reads it "
                           "as a negative number (0 to 32767)",
                           "Hero_Info/Hero_Status_Info.txt: line 8, column 1: next level exp 0 is not above exp 0: "
                           "the first victory raises the level (1 to 2147483647)",
                           "Hero_Info/Hero_Status_Info.txt: line 10, column 1: level 0: levels count from 1 (1 to "
                           "65535)",
                       }));
    SetItem(kHero, 2, "0");
    EXPECT_EQ(Check().at(0), "Hero_Info/Hero_Status_Info.txt: line 2, column 1: max HP 0: the hero starts every "
                             "battle fallen (1 to 32767)");
    // In Japanese, the place first.
    EXPECT_EQ(Check(false).at(1), "Hero_Info/Hero_Status_Info.txt: 4行 1列: 防御力 0: 0 は 1 として割られ、"
                                  "敵の攻撃のたびに経験値の 2/3 が足されます（1〜65520）");
}

TEST_F(DataCheckTest, TheLargestExpLeavesNoRoomForTheNextLevel) {
    SetItem(kHero, 9, "2147483647");
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: line 9, column 1: exp 2147483647 leaves no next level "
                           "exp above it: the first victory raises the level (0 to 2147483646)",
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
                           "Enemy_Info/Pawn_Status_Info.txt: line 2, column 1: kind number 9: the enemy banner shows "
                           "no name (1 to 6)",
                           "Enemy_Info/Pawn_Status_Info.txt: line 6, column 1: max HP 0: every instance has fallen "
                           "before the battle (1 to 32767)",
                           "Enemy_Info/Pawn_Status_Info.txt: line 12, column 1: ability number 5: there is no such "
                           "ability (0 to 4)",
                           "Enemy_Info/Rook_Status_Info.txt: line 8, column 1: defense 0: it counts as 1, and the "
                           "hero's whole exp is added to every hit (1 to 65535)",
                           "Enemy_Info/Rook_Status_Info.txt: line 10, column 1: magic defense 0: it counts as 1, and "
                           "the hero's whole exp is added to every hit (1 to 65535)",
                           "Abilities/SwordCut.txt: line 4, column 1: power 0 with rate 0: the ability does no "
                           "damage beyond the swing (rate or power 1 or more)",
                       }));
}

TEST_F(DataCheckTest, MapProblemsAsTheWorldPictureFindsThem) {
    SetItem("map_info/map1.txt", 10, "10");  // start screen
    SetItem(kHero, 21, "59");                // start column
    tree.Write("map_info/map1/2.txt", "1\n1 1 0 0\n");
    tree.Write("map_info/map1/3.txt", "1\n2 1 59 5\n");  // refused, and not also "in a wall"
    EXPECT_EQ(Check(), (Lines{
                           "Hero_Info/Hero_Status_Info.txt: line 21, column 1: hero column 59: the game stops at "
                           "start (0 to 58)",
                           "map_info/map1.txt: line 10, column 1: start screen 10: the game stops at start (1 to 9)",
                           "map_info/map1/2.txt: line 2, column 7: enemy 1 at column 0, row 0 of screen 2 stands "
                           "in a wall (two open cells)",
                           "map_info/map1/3.txt: line 2, column 5: enemy 1 column 59: the game stops on entering "
                           "screen 3 (0 to 58)",
                       }));
    tree.Write("map_info/map1/3.txt", "0\n");
    // With the header usable again: the King in a wall, an enemy kind that
    // does not fight.
    SetItem("map_info/map1.txt", 10, "1");
    SetItem(kHero, 21, "28");
    SetItem("map_info/map1.txt", 6, "1");  // the King's row: the screen's top wall
    tree.Write("map_info/map1/2.txt", "1\n7 1 10 10\n");
    EXPECT_EQ(Check(), (Lines{
                           "map_info/map1.txt: line 6, column 1: the King at column 30, row 0 of screen 3 stands in a "
                           "wall (two open cells)",
                           "map_info/map1/2.txt: line 2, column 1: enemy 1 kind 7: no battle kind (0 and below give "
                           "the Knight, 5 and above the Rook) (1 to 4)",
                       }));
}

// A map line that is too long or too short shears every row after it, as the
// game reads the file as one stream. The line is named; the figures and ways
// of the rows it shears are judged as the lines mean them, not blamed.
TEST_F(DataCheckTest, OneBadLayoutLineIsNamedOnceInItsOwnFile) {
    EditLine(kLayout1, 6, 0, 0, "x");       // a Pawn stands on row 5, the way down on row 19
    EditLine("map_form/map1/5.txt", 2, 6, 2, "");  // two blanks short
    EXPECT_EQ(Check(), (Lines{
                           "map_form/map1/1.txt: line 6: the line holds 60 bytes (59, then a line break; a full-width "
                           "character counts 2): the game reads the file as one stream, so the rows after it shift 1 "
                           "cell right",
                           "map_form/map1/5.txt: line 2: the line holds 57 bytes (59, then a line break; a full-width "
                           "character counts 2): the game reads the file as one stream, so the rows after it shift 2 "
                           "cells left",
                       }));
}

TEST_F(DataCheckTest, FullWidthSpacesAndTabsInLayoutsAreNamedWhereTheyStand) {
    // Line 9 of screen 1 is a tree, then open ground: bytes 10 and 11 become a
    // full-width space (the line keeps its length), and so do bytes 30 and 31.
    EditLine(kLayout1, 9, 10, 2, Sjis("　"));
    EditLine(kLayout1, 9, 30, 2, Sjis("　"));
    // Line 10: eight blanks after the tree become one tab, as an editor writes them.
    EditLine(kLayout1, 10, 2, 8, "\t");
    EXPECT_EQ(Check(), (Lines{
                           "map_form/map1/1.txt: line 9, column 10: a full-width space (　), 2 on this line: an "
                           "invisible wall in the game; write two blanks instead",
                           "map_form/map1/1.txt: line 10, column 2: a tab: the game reads it as one cell of wall; "
                           "write blanks instead (the line holds 52 bytes; 59 are needed)",
                       }));
}

TEST_F(DataCheckTest, AFileSavedAsUtf8IsNamedOnceWithTheCommandThatConvertsIt) {
    // An ability's name and a whole screen, as an editor set to UTF-8 saves them.
    tree.Write("Abilities/Flame.txt", "フレイム\n0 2 6\n");
    tree.Write("map_form/map1/2.txt", SjisToUtf8(Read("map_form/map1/2.txt")));
    const std::string flame = tree.root + "/Abilities/Flame.txt", layout = tree.root + "/map_form/map1/2.txt";
    // Screen 2 is still walked, as its lines mean it once converted: nothing is
    // blamed on the screens beside it.
    EXPECT_EQ(Check(), (Lines{
                           "Abilities/Flame.txt: is saved as UTF-8, but the game reads only Shift-JIS (CP932). "
                           "Convert it: iconv -f UTF-8 -t CP932 " + flame + " > " + flame + ".new && mv " + flame +
                               ".new " + flame,
                           "map_form/map1/2.txt: is saved as UTF-8, but the game reads only Shift-JIS (CP932). "
                           "Convert it: iconv -f UTF-8 -t CP932 " + layout + " > " + layout + ".new && mv " + layout +
                               ".new " + layout,
                       }));
    // A byte-order mark keeps the game from reading the header's first number.
    tree.Write("Abilities/Flame.txt", Sjis("フレイム") + "\n0 2 6\n");
    tree.Write("map_form/map1/2.txt", Utf8ToSjis(Read("map_form/map1/2.txt")));
    tree.Write("map_info/map1.txt", "\xEF\xBB\xBF" + Read("map_info/map1.txt"));
    const std::string header = tree.root + "/map_info/map1.txt";
    EXPECT_EQ(Check(), (Lines{
                           "map_info/map1.txt: is saved as UTF-8 with a BOM, but the game reads only Shift-JIS "
                           "(CP932). Convert it: tail -c +4 " + header + " | iconv -f UTF-8 -t CP932 > " + header +
                               ".new && mv " + header + ".new " + header,
                       }));
}

// The limits the checker holds names to are what the battle screen shows
// whole: a name of the limit keeps the closing mark of its window or banner,
// one byte more breaks it.
TEST(NameLimitTest, TheChecksLimitsAreWhatTheBattleScreenHolds) {
    for (int index = 0; index < kAbilityCount; ++index) {
        const int limit = AbilityNameLimit(index);
        for (int length : {limit, limit + 1}) {
            HeadlessReset();
            ResetGameState();
            for (AbilityInfo& ability : abilities) std::snprintf(ability.name, sizeof ability.name, "%s",
                                                                 std::string(static_cast<std::size_t>(length), 'A').c_str());
            hero.level = 25;
            OpenAbilityWindow();
            const int row = 2 * (index + 1);
            const bool whole = ScreenText(row, 71, 73) == "＞";
            EXPECT_EQ(whole, length == limit) << "ability " << index << ", " << length << " bytes";
        }
    }
    for (int kindNo = 1; kindNo <= 6; ++kindNo) {
        const int limit = BannerNameLimit(kindNo);
        for (int length : {limit, limit + 1}) {
            HeadlessReset();
            ResetGameState();
            EnemyKind kind{};
            std::snprintf(kind.name, sizeof kind.name, "%s", std::string(static_cast<std::size_t>(length), 'A').c_str());
            kind.kindNo = static_cast<uint16_t>(kindNo);
            SlideKindBanner(kind);
            const bool whole = ScreenText(9, viewColumn + 21, viewColumn + 23) == "／";
            EXPECT_EQ(whole, length == limit) << "kind number " << kindNo << ", " << length << " bytes";
        }
    }
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
