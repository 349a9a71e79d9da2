// Loading the hero, enemy and ability files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>

#include "game/game.h"
#include "records/records.h"
#include "records/text_reader.h"
#include "tests/test_support.h"

namespace {

class RecordsTest : public ::testing::Test {
protected:
    TempTree tree;
    void SetUp() override {
        ClearRecords();
        HeadlessReset(tree.root);
    }
    void WriteAllEnemies() {
        const char* files[] = {"Pawn", "Knight", "Bishop", "Rook", "Queen", "King"};
        for (int i = 0; i < 6; ++i) {
            tree.WriteSjis(std::string("Enemy_Info/") + files[i] + "_Status_Info.txt",
                           std::string(files[i]) + " " + std::to_string(i + 1) + " ◆ 0 5 " + std::to_string(10 + i) +
                               " 2 3 4 5 6 " + std::to_string(i % 5) + "\n");
        }
    }
};

TEST_F(RecordsTest, HeroFileFillsEveryFieldAndIgnoresWhatFollows) {
    tree.WriteSjis("Hero_Info/Hero_Status_Info.txt",
                   "勇者\r\n40 10 8 5 5 6\r\n30 7 3\r\n9 9 9 9\r\n1 5 1 3 1 2\r\n28 10 and more text 99\r\n");
    ASSERT_EQ(LoadHeroStatus(), 1);
    EXPECT_EQ(std::string(hero.name), Sjis("勇者"));
    EXPECT_EQ(hero.maxHp, 40);
    EXPECT_EQ(hero.speed, 6);
    EXPECT_EQ(hero.nextLevelExp, 30u);
    EXPECT_EQ(hero.exp, 7u);
    EXPECT_EQ(hero.level, 3);
    EXPECT_EQ(hero.spare4, 9);
    EXPECT_EQ(hero.items[kPotion].held, 1);
    EXPECT_EQ(hero.items[kPotion].count, 5);
    EXPECT_EQ(hero.items[kBuckler].count, 2);
    EXPECT_EQ(hero.fieldX, 28);
    EXPECT_EQ(hero.fieldY, 10);
    EXPECT_EQ(hero.screenNo, 0);
}

TEST_F(RecordsTest, AShortOrBrokenFileKeepsTheEarlierValuesOfTheLaterFields) {
    hero.fieldX = 77;
    hero.level = 4;
    tree.Write("Hero_Info/Hero_Status_Info.txt", "Hero 50 11 12 13 14 15 100 0 x5 0 0");
    ASSERT_EQ(LoadHeroStatus(), 1);
    EXPECT_EQ(hero.maxHp, 50);
    EXPECT_EQ(hero.exp, 0u);
    EXPECT_EQ(hero.level, 4);  // "x5" is not a number: reading stops there
    EXPECT_EQ(hero.fieldX, 77);
}

TEST_F(RecordsTest, NumbersAreStoredInTheWidthOfTheirField) {
    tree.Write("Hero_Info/Hero_Status_Info.txt", "H 70000 -1 +3 0 0 0 4294967297 -2 99999999999999");
    ASSERT_EQ(LoadHeroStatus(), 1);
    EXPECT_EQ(hero.maxHp, 70000 % 65536);
    EXPECT_EQ(hero.attack, 65535);
    EXPECT_EQ(hero.defense, 3);
    EXPECT_EQ(hero.exp, 4294967294u);
    EXPECT_EQ(hero.level, 65535);  // saturated, never undefined
}

TEST_F(RecordsTest, OverLongNamesAreCutAtACharacterBoundary) {
    // 8 double-byte characters = 16 bytes: only 7 fit in the hero's 15 bytes.
    tree.WriteSjis("Hero_Info/Hero_Status_Info.txt", "あいうえおかきく 1 2 3");
    ASSERT_EQ(LoadHeroStatus(), 1);
    EXPECT_EQ(std::string(hero.name), Sjis("あいうえおかき"));
    EXPECT_EQ(hero.maxHp, 1);
    // A single byte then double-byte characters: 1 + 2 * 9 = 19 bytes fit in 20.
    tree.WriteSjis("Abilities/SwordCut.txt", "xあいうえおかきくけこ 0 2 3");
    AbilityInfo ability = {};
    ASSERT_EQ(LoadAbility(ability, "Abilities\\SwordCut.txt"), 1);
    EXPECT_EQ(std::string(ability.name), Sjis("xあいうえおかきくけ"));
    EXPECT_EQ(ability.rate, 2);
    EnemyKind kind = {};
    tree.WriteSjis("Enemy_Info/Pawn_Status_Info.txt", "P 1 ab歩 0 1 12");
    ASSERT_EQ(LoadEnemyKind(kind, "Enemy_Info\\Pawn_Status_Info.txt"), 1);
    EXPECT_EQ(std::string(kind.glyph), "ab");
    EXPECT_EQ(kind.maxHp, 12);
}

TEST_F(RecordsTest, EnemyKindsFillTheHpSlotsOfTheFourBattleKindsOnly) {
    WriteAllEnemies();
    ASSERT_EQ(LoadEnemyKinds(), 1);
    EXPECT_EQ(enemyKinds[kPawn].target, 5);  // the file's value holds until a battle starts
    EXPECT_EQ(std::string(enemyKinds[kBishop].glyph), Sjis("◆"));
    for (int kind = kPawn; kind <= kRook; ++kind) {
        for (int slot = 0; slot < kInstanceSlots; ++slot) EXPECT_EQ(enemyKinds[kind].hp[slot], 10 + kind);
    }
    EXPECT_EQ(enemyKinds[kQueen].hp[0], 0);
    EXPECT_EQ(enemyKinds[kKing].maxHp, 15);
    EXPECT_EQ(enemyKinds[kKing].abilityNo, 0);
}

TEST_F(RecordsTest, AMissingBishopFileStopsTheKindsAfterIt) {
    WriteAllEnemies();
    tree.Remove("Enemy_Info/Bishop_Status_Info.txt");
    EXPECT_EQ(LoadEnemyKinds(), 0);
    EXPECT_EQ(enemyKinds[kKnight].hp[6], 11);
    EXPECT_EQ(enemyKinds[kBishop].maxHp, 0);
    EXPECT_EQ(enemyKinds[kRook].maxHp, 0);
    EXPECT_EQ(enemyKinds[kKing].name[0], '\0');
}

TEST_F(RecordsTest, AMissingFlameFileLoadsOnlySwordCut) {
    const char* files[] = {"SwordCut", "BigRevolveSword", "HellFlame", "AbsoluteObedience"};
    for (const char* file : files) tree.Write(std::string("Abilities/") + file + ".txt", std::string(file) + " 0 2 3\n");
    EXPECT_EQ(LoadAbilities(), 0);
    EXPECT_EQ(std::string(abilities[kSwordCut].name), "SwordCut");
    EXPECT_EQ(abilities[kBigRevolveSword].name[0], '\0');
    EXPECT_EQ(abilities[kBigRevolveSword].rate, 0);
}

TEST_F(RecordsTest, TheShippedDataLoadsWithoutAZeroDivisor) {
    HeadlessReset(CHESSRPG_DATA_DIR);
    ASSERT_EQ(LoadHeroStatus(), 1);
    ASSERT_EQ(LoadEnemyKinds(), 1);
    ASSERT_EQ(LoadAbilities(), 1);
    EXPECT_GT(hero.defense, 0);
    EXPECT_GT(hero.magicDefense, 0);
    EXPECT_GT(hero.maxHp, 0);
    for (int kind = kPawn; kind <= kRook; ++kind) {
        EXPECT_GT(enemyKinds[kind].defense, 0);
        EXPECT_GT(enemyKinds[kind].magicDefense, 0);
        EXPECT_LT(enemyKinds[kind].abilityNo, kAbilityCount);
        EXPECT_EQ(std::strlen(enemyKinds[kind].glyph), 2u);
    }
}

// A missing record file stops the game with the fatal message and status -1.
TEST_F(RecordsTest, AMissingRecordFileStopsTheGame) {
    CopyShippedData(tree);
    tree.Remove("Abilities/HellFlame.txt");
    try {
        StartGame();
        FAIL() << "the game went on without its abilities";
    } catch (const HeadlessStop& stop) {
        EXPECT_EQ(stop.reason, HeadlessStop::kExited);
        EXPECT_EQ(stop.status, -1);
    }
    EXPECT_EQ(ScreenLine(0), "ファイルが存在しないため情報の初期化に失敗しました。");
    EXPECT_EQ(ScreenLine(3), " 30 秒後に強制終了しますので手動で閉じないでください。");
    EXPECT_GE(HeadlessMilliseconds(), 29000);
    EXPECT_LE(HeadlessMilliseconds(), 30000);
}

// Only a regular file with a number in it is a record file: a folder, a pipe,
// a device or a file without a number after the name counts as missing, and
// opening a pipe never waits for a writer.
TEST_F(RecordsTest, ARecordFileThatIsNoRegularFileOrHoldsNoItemCountsAsMissing) {
    namespace fs = std::filesystem;
    const std::string path = tree.root + "/Hero_Info/Hero_Status_Info.txt";
    fs::create_directories(tree.root + "/Hero_Info");
    struct Case {
        const char* what;
        void (*make)(const std::string& path);
    } cases[] = {
        {"folder", [](const std::string& p) { fs::create_directory(p); }},
        {"pipe", [](const std::string& p) { mkfifo(p.c_str(), 0600); }},
        {"link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }},
        {"empty file", [](const std::string& p) { std::ofstream{p}; }},
        {"blanks only", [](const std::string& p) { std::ofstream{p} << " \r\n\t "; }},
        {"a name only", [](const std::string& p) { std::ofstream{p} << "Hero\n"; }},
        {"64 GiB of zeros",
         [](const std::string& p) {
             std::ofstream{p};
             fs::resize_file(p, 1LL << 36);  // sparse: nothing is written
         }},
    };
    for (const Case& c : cases) {
        fs::remove_all(path);
        c.make(path);
        hero.maxHp = 7;
        MarkFileUnopened("");
        auto load = std::async(std::launch::async, [] { return LoadHeroStatus(); });
        if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            std::ofstream writer(path);  // lets an open that waits for a writer return
            ADD_FAILURE() << c.what << ": the open waited";
        }
        EXPECT_EQ(load.get(), 0) << c.what;
        EXPECT_STREQ(UnopenedFilePath(), "Hero_Info\\Hero_Status_Info.txt") << c.what;
        EXPECT_EQ(hero.maxHp, 7) << c.what;
    }
    WriteAllEnemies();
    tree.Write("Enemy_Info/Rook_Status_Info.txt", "\r\n");
    EXPECT_EQ(LoadEnemyKinds(), 0);
    EXPECT_STREQ(UnopenedFilePath(), "Enemy_Info\\Rook_Status_Info.txt");
}

// The game stops on it as on a missing file, and names it after exit.
TEST_F(RecordsTest, AFolderInPlaceOfTheHeroFileStopsTheGame) {
    CopyShippedData(tree);
    tree.Remove("Hero_Info/Hero_Status_Info.txt");
    std::filesystem::create_directory(tree.root + "/Hero_Info/Hero_Status_Info.txt");
    try {
        StartGame();
        FAIL() << "the game started without a hero";
    } catch (const HeadlessStop& stop) {
        EXPECT_EQ(stop.status, -1);
    }
    EXPECT_EQ(ScreenLine(0), "ファイルが存在しないため情報の初期化に失敗しました。");
    ASSERT_FALSE(HeadlessLeftLines().empty());
    EXPECT_EQ(HeadlessLeftLines().back(), Sjis("ファイル: ") + "Hero_Info\\Hero_Status_Info.txt");
}

}  // namespace
