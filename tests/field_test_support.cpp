#include "tests/field_test_support.h"

#include <cstring>

#include "field/world_map.h"
#include "records/records.h"
#include "platform/headless.h"

std::vector<std::string> BlankLayout() { return std::vector<std::string>(20, std::string(59, ' ')); }

std::string LayoutFile(const std::vector<std::string>& rows, const std::string& lineBreak) {
    std::string text;
    for (const std::string& row : rows) text += row + lineBreak;
    return text;
}

void WriteBlankMapSet(const TempTree& tree, const std::string& header) {
    for (int screen = 1; screen <= 9; ++screen) {
        tree.Write("map_form/map1/" + std::to_string(screen) + ".txt", LayoutFile(BlankLayout()));
        WritePlacements(tree, screen, "0\n");
    }
    tree.Write("map_info/map1.txt", header + "\n");
}

void WritePlacements(const TempTree& tree, int screen, const std::string& text) {
    tree.Write("map_info/map1/" + std::to_string(screen) + ".txt", text);
}

void ResetField(int screen, int x, int y) {
    std::memset(worldMap.cells, ' ', sizeof worldMap.cells);
    queenSpot = ScreenSpot{0, 0, 0};
    kingSpot = ScreenSpot{0, 0, 0};
    gateSpot = ScreenSpot{0, 0, 0};
    for (RoamingEnemy& entry : roamingEnemies) entry = RoamingEnemy{0, 0, 0, 0};
    roamingCount = 0;
    const char* glyphs[kEnemyKindCount] = {"歩", "騎", "僧", "城", "妃", "王"};
    for (int kind = 0; kind < kEnemyKindCount; ++kind) {
        std::strcpy(enemyKinds[kind].glyph, Sjis(glyphs[kind]).c_str());
    }
    hero.screenNo = static_cast<uint16_t>(screen);
    hero.fieldX = static_cast<uint16_t>(x);
    hero.fieldY = static_cast<uint16_t>(y);
}

void PutCell(int screen, int row, int column, char byte) {
    worldMap.cells[ScreenRowOrigin(screen) + row][ScreenColumnOrigin(screen) + column] = static_cast<unsigned char>(byte);
}

std::string GridRow(int screen, int row) {
    const unsigned char* start = &worldMap.cells[ScreenRowOrigin(screen) + row][ScreenColumnOrigin(screen)];
    return std::string(reinterpret_cast<const char*>(start), 60);
}

void BlankFieldTest::SetUp() {
    ClearRecords();
    WriteBlankMapSet(tree);
    HeadlessReset(tree.root);
    ResetField(5, 28, 10);
}
