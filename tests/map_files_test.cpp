// Reading the layouts, the map header and the placement files.
#include <gtest/gtest.h>

#include "field/map_files.h"
#include "field/world_map.h"
#include "game/game.h"
#include "records/records.h"
#include "tests/field_test_support.h"

namespace {

class MapFilesTest : public ::testing::Test {
protected:
    TempTree tree;
    void SetUp() override {
        ClearRecords();
        HeadlessReset(tree.root);
        ResetField(1, 0, 0);
        hero.screenNo = 0;
        WriteBlankMapSet(tree);
    }
    // Runs a loader that must stop the game; returns the exit status.
    template <typename Load>
    int StopStatus(Load load) {
        try {
            load();
        } catch (const HeadlessStop& stop) {
            EXPECT_EQ(stop.reason, HeadlessStop::kExited);
            return stop.status;
        }
        ADD_FAILURE() << "the game went on";
        return 0;
    }
};

TEST_F(MapFilesTest, LayoutsAreReadAsTwelveHundredCharactersWithoutRegardToLines) {
    // Screen 5: row 0 is a 60-character line, so every later row moves one
    // cell on; row 1 ends in CR LF, which is one break like LF.
    std::vector<std::string> rows = BlankLayout();
    rows[0] = std::string(59, 'a') + "b";
    std::string text = rows[0] + "\n" + "x" + std::string(58, ' ') + "\r\n";
    text += "y" + std::string(58, ' ') + "\n";
    tree.Write("map_form/map1/5.txt", text);
    // Screen 6: 0xFF and the break are blanks in row 0; the file ends there and
    // the rest of the screen is open ground.
    tree.Write("map_form/map1/6.txt", "\xff#\xff\n#");
    // Screen 7: 1200 characters, then more that are never read.
    tree.Write("map_form/map1/7.txt", std::string(1200, 'z') + "####");

    LoadWorldMap(1);
    EXPECT_EQ(GridRow(5, 0), std::string(59, 'a') + "b");
    EXPECT_EQ(GridRow(5, 1), " x" + std::string(58, ' '));  // the 60th character pushed it on
    EXPECT_EQ(GridRow(5, 2), " y" + std::string(58, ' '));  // one cell per long line, no more
    EXPECT_EQ(GridRow(6, 0), " #  #" + std::string(55, ' '));
    EXPECT_EQ(GridRow(6, 1), std::string(60, ' '));
    EXPECT_EQ(GridRow(6, 19), std::string(60, ' '));
    EXPECT_EQ(GridRow(7, 19), std::string(60, 'z'));
    EXPECT_EQ(GridRow(8, 0), std::string(60, ' '));  // screen 8 is not disturbed
    // Lines of 59 characters keep column 59 blank on every row.
    EXPECT_EQ(GridRow(4, 3), std::string(60, ' '));
}

TEST_F(MapFilesTest, TheHeaderSetsTheSpotsAndTheStartScreen) {
    tree.Write("map_info/map1.txt", "9 12 5\r\n3 40 8\r\n6 25 1\r\n4\r\n");
    LoadWorldMap(1);
    EXPECT_EQ(queenSpot.screen, 9);
    EXPECT_EQ(queenSpot.column, 12);
    EXPECT_EQ(queenSpot.row, 5);
    EXPECT_EQ(kingSpot.column, 40);
    EXPECT_EQ(gateSpot.screen, 6);
    EXPECT_EQ(gateSpot.column, 25);
    EXPECT_EQ(hero.screenNo, 4);
}

TEST_F(MapFilesTest, HeaderValuesTheGameCannotUseStopItWithTheirFileValueAndRange) {
    struct Case {
        const char* header;
        const char* message;
    } cases[] = {
        {"9 1 1 9 1 1 9 2 1 10", "map_info\\map1.txt: start screen 10 (allowed 1 to 9)"},
        {"9 1 1 9 1 1 9 2 1", "map_info\\map1.txt: start screen 0 (allowed 1 to 9)"},  // short file
        {"9 60 1 9 1 1 9 2 1 1", "map_info\\map1.txt: Queen column 60 (allowed 1 to 59)"},
        {"9 1 1 0 1 1 9 2 1 1", "map_info\\map1.txt: King screen 0 (allowed 1 to 9)"},
        {"9 1 1 9 1 21 9 2 1 1", "map_info\\map1.txt: King row 21 (allowed 1 to 20)"},
        {"9 1 1 9 1 1 9 52 1 1", "map_info\\map1.txt: gate column 52 (allowed 1 to 51)"},
        {"9 1 1 9 1 1 9 0 1 1", "map_info\\map1.txt: gate column 0 (allowed 1 to 51)"},
        {"9 1 1 9 1 1 9 2 1 65537", "map_info\\map1.txt: start screen 65537 (allowed 1 to 9)"},
    };
    for (const Case& c : cases) {
        HeadlessReset(tree.root);
        hero.screenNo = 0;
        tree.Write("map_info/map1.txt", c.header);
        EXPECT_EQ(StopStatus([] { LoadWorldMap(1); }), -1) << c.header;
        EXPECT_EQ(ScreenLine(0), "ファイルの値が範囲外のため情報の初期化に失敗しました。");
        EXPECT_EQ(ScreenLine(1), c.message);
        EXPECT_EQ(ScreenLine(2), " 30 秒後に強制終了しますので手動で閉じないでください。");
        EXPECT_GE(HeadlessMilliseconds(), 29000);
    }
}

TEST_F(MapFilesTest, PlacementsFillTheTableInFileOrderAndClearWhatWentBefore) {
    hero.screenNo = 3;
    WritePlacements(tree, 3, "3\n1 2 10 4\n4 7 0 19\n2 1 58 0\n");
    LoadPlacements(1);
    ASSERT_EQ(roamingCount, 3);
    EXPECT_EQ(roamingEnemies[1].kind, 4);
    EXPECT_EQ(roamingEnemies[1].groupSize, 7);
    EXPECT_EQ(roamingEnemies[1].y, 19);
    EXPECT_EQ(roamingEnemies[2].x, 58);

    WritePlacements(tree, 3, "0\n");
    LoadPlacements(1);
    EXPECT_EQ(roamingCount, 0);
    EXPECT_EQ(roamingEnemies[0].kind, 0);
    EXPECT_EQ(roamingEnemies[2].x, 0);
    // Kind numbers outside 1 to 4 are taken: the kind lookups map every number.
    WritePlacements(tree, 3, "2 0 1 5 5 9 1 7 7");
    LoadPlacements(1);
    EXPECT_EQ(roamingEnemies[0].kind, 0);
    EXPECT_EQ(roamingEnemies[1].kind, 9);
}

TEST_F(MapFilesTest, PlacementValuesTheGameCannotUseStopItAndNeverOverfillTheTable) {
    struct Case {
        const char* placements;
        const char* message;
    } cases[] = {
        {"6 1 1 0 0 1 1 2 0 1 1 4 0 1 1 6 0 1 1 8 0 1 1 10 0", "map_info\\map1\\2.txt: enemy count 6 (allowed 0 to 5)"},
        {"-1", "map_info\\map1\\2.txt: enemy count -1 (allowed 0 to 5)"},
        {"1 1 8 0 0", "map_info\\map1\\2.txt: enemy 1 group size 8 (allowed 1 to 7)"},
        {"2 1 1 0 0 1 1 59 3", "map_info\\map1\\2.txt: enemy 2 column 59 (allowed 0 to 58)"},
        {"1 1 1 -1 3", "map_info\\map1\\2.txt: enemy 1 column -1 (allowed 0 to 58)"},
        {"1 1 1 3 20", "map_info\\map1\\2.txt: enemy 1 row 20 (allowed 0 to 19)"},
        {"1 1 1 99999999999 3", "map_info\\map1\\2.txt: enemy 1 column 99999999999 (allowed 0 to 58)"},
        {"2 1 1 3 3", "map_info\\map1\\2.txt: enemy 2 group size 0 (allowed 1 to 7)"},  // short file
    };
    for (const Case& c : cases) {
        HeadlessReset(tree.root);
        hero.screenNo = 2;
        WritePlacements(tree, 2, c.placements);
        EXPECT_EQ(StopStatus([] { LoadPlacements(1); }), -1) << c.placements;
        EXPECT_EQ(ScreenLine(1), c.message);
        EXPECT_LE(roamingCount, kRoamingSlots);
    }
    // The count of 6 filled the five entries of the table and no more.
    HeadlessReset(tree.root);
    MapErrors errors{};
    ASSERT_TRUE(ReadPlacements("map_info\\map1\\2.txt", errors));
    WritePlacements(tree, 2, cases[0].placements);
    errors = MapErrors{};
    ASSERT_TRUE(ReadPlacements("map_info\\map1\\2.txt", errors));
    EXPECT_EQ(roamingCount, 5);
    EXPECT_EQ(roamingEnemies[4].x, 8);
    EXPECT_EQ(errors.count, 1);
}

TEST_F(MapFilesTest, KindNumbersOutsideOneToFourGiveTheKnightOrTheRook) {
    EXPECT_EQ(&KindRecord(0), &enemyKinds[kKnight]);
    EXPECT_EQ(&KindRecord(2), &enemyKinds[kKnight]);
    EXPECT_EQ(&KindRecord(-5), &enemyKinds[kKnight]);
    EXPECT_EQ(&KindRecord(9), &enemyKinds[kRook]);
    EXPECT_EQ(std::string(KindGlyph(0)), Sjis("騎"));
    EXPECT_EQ(std::string(KindGlyph(9)), Sjis("城"));
    EXPECT_EQ(std::string(KindGlyph(3)), Sjis("僧"));
}

TEST_F(MapFilesTest, AMissingLayoutOrHeaderStopsTheStartWithTheFileMessage) {
    for (const char* missing : {"map_form/map1/9.txt", "map_info/map1.txt"}) {
        WriteBlankMapSet(tree);
        tree.Remove(missing);
        HeadlessReset(tree.root);
        EXPECT_EQ(StopStatus([] { LoadWorldMap(1); }), -1) << missing;
        EXPECT_EQ(ScreenLine(0), "ファイルが存在しないため情報の初期化に失敗しました。");
        EXPECT_EQ(ScreenLine(3), " 30 秒後に強制終了しますので手動で閉じないでください。");
    }
}

TEST_F(MapFilesTest, AHeroStartOffTheScreenIsNamedAsTheFileWritesIt) {
    // Stored in 16 bits both would read 65535.
    for (const char* column : {"-1", "99999999999"}) {
        HeadlessReset(tree.root);
        tree.Write("Hero_Info/Hero_Status_Info.txt",
                   std::string("H 40 10 8 5 5 6 30 0 1 0 0 0 0 1 5 1 3 1 3 ") + column + " 10");
        ASSERT_EQ(LoadHeroStatus(), 1);
        EXPECT_EQ(StopStatus([] {
                      MapErrors errors{};
                      FindHeroStartErrors(errors);
                      StopOnMapErrors(errors);
                  }),
                  -1);
        EXPECT_EQ(ScreenLine(1), std::string("Hero_Info\\Hero_Status_Info.txt: hero column ") + column +
                                     " (allowed 0 to 58)");
    }
}

TEST_F(MapFilesTest, AHeroStartingOffTheScreenIsRefused) {
    MapErrors errors{};
    hero.fieldX = 58;
    hero.fieldY = 19;
    FindHeroStartErrors(errors);
    EXPECT_EQ(errors.count, 0);
    hero.fieldX = 59;
    hero.fieldY = 20;
    FindHeroStartErrors(errors);
    ASSERT_EQ(errors.count, 2);
    EXPECT_STREQ(errors.list[0].what, "hero column");
    EXPECT_EQ(errors.list[1].value, 20);
}

}  // namespace
