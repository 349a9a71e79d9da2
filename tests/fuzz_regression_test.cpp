// Every input kept in the fuzz corpora (seeds and the inputs that once crashed
// a loader) goes through the loaders again, under the sanitizers in CI.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "field/map_files.h"
#include "field/world_map.h"
#include "game/game.h"
#include "records/records.h"
#include "tests/test_support.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Calls load(bytes) for every file of a corpus; returns how many there were.
template <typename Load>
int ForEachCorpusInput(const char* target, Load load) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(CHESSRPG_SOURCE_DIR) / "tests/fuzz/corpus" / target)) {
        SCOPED_TRACE(entry.path().filename().string());
        load(ReadFile(entry.path()));
        ++count;
    }
    return count;
}

void ExpectTerminated(const char* field, std::size_t size) { EXPECT_LT(strnlen(field, size), size); }

TEST(FuzzRegressionTest, HeroFiles) {
    TempTree tree;
    HeadlessReset(tree.root);
    int count = ForEachCorpusInput("fuzz_hero", [&](const std::string& bytes) {
        ClearRecords();
        tree.Write("Hero_Info/Hero_Status_Info.txt", bytes);
        EXPECT_EQ(LoadHeroStatus(), 1);
        ExpectTerminated(hero.name, sizeof hero.name);
    });
    EXPECT_GT(count, 0);
}

TEST(FuzzRegressionTest, EnemyFiles) {
    TempTree tree;
    HeadlessReset(tree.root);
    const char* files[] = {"Pawn", "Knight", "Bishop", "Rook", "Queen", "King"};
    int count = ForEachCorpusInput("fuzz_enemy", [&](const std::string& bytes) {
        ClearRecords();
        for (const char* file : files) tree.Write(std::string("Enemy_Info/") + file + "_Status_Info.txt", bytes);
        EXPECT_EQ(LoadEnemyKinds(), 1);
        for (const EnemyKind& kind : enemyKinds) {
            ExpectTerminated(kind.name, sizeof kind.name);
            ExpectTerminated(kind.glyph, sizeof kind.glyph);
        }
    });
    EXPECT_GT(count, 0);
}

TEST(FuzzRegressionTest, AbilityFiles) {
    TempTree tree;
    HeadlessReset(tree.root);
    const char* files[] = {"SwordCut", "Flame", "BigRevolveSword", "HellFlame", "AbsoluteObedience"};
    int count = ForEachCorpusInput("fuzz_ability", [&](const std::string& bytes) {
        ClearRecords();
        for (const char* file : files) tree.Write(std::string("Abilities/") + file + ".txt", bytes);
        // A file without a number after its name counts as missing (0); either
        // way the name read ends inside its field.
        LoadAbilities();
        for (const AbilityInfo& ability : abilities) ExpectTerminated(ability.name, sizeof ability.name);
    });
    EXPECT_GT(count, 0);
}

// The map loaders either load safe values or stop the game with the data error.
TEST(FuzzRegressionTest, MapFiles) {
    TempTree tree;
    HeadlessReset(tree.root);
    int count = ForEachCorpusInput("fuzz_layout", [&](const std::string& bytes) {
        tree.Write("map_form/map1/3.txt", bytes);
        LoadScreenLayout("map_form\\map1\\", 3);
    });
    count += ForEachCorpusInput("fuzz_header", [&](const std::string& bytes) {
        tree.Write("map_info/map1.txt", bytes);
        hero.screenNo = 1;
        try {
            LoadMapHeader("map_info\\map1.txt");
            EXPECT_GE(hero.screenNo, 1);
            EXPECT_LE(hero.screenNo, kScreenCount);
        } catch (const HeadlessStop& stop) {
            EXPECT_EQ(stop.reason, HeadlessStop::kExited);
        }
    });
    count += ForEachCorpusInput("fuzz_placements", [&](const std::string& bytes) {
        tree.Write("map_info/map1/5.txt", bytes);
        hero.screenNo = 5;
        try {
            LoadPlacements(worldNumber);
            EXPECT_GE(roamingCount, 0);
            EXPECT_LE(roamingCount, kRoamingSlots);
        } catch (const HeadlessStop& stop) {
            EXPECT_EQ(stop.reason, HeadlessStop::kExited);
        }
    });
    EXPECT_GE(count, 3);
}

}  // namespace
