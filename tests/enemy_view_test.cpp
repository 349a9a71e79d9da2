// The enemy group in its arrangements, the banners under the enemy view and the
// level-up window's frame, at their exact cells.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "battle/battle_state.h"
#include "console/console.h"
#include "console/enemy_view.h"
#include "game/game_state.h"
#include "tests/test_support.h"

namespace {

// The banners' middle line with a text from column 'from' to 'to' (exclusive).
std::string Middle(int from, const std::string& text, int to) {
    return Blanks(26) + "／" + Blanks(from - 28) + text + Blanks(46 - to) + "／";
}

void FillRow(int row, char byte) {
    SetCursor(0, row);
    WriteText("%s", std::string(79, byte).c_str());
}

class EnemyViewTest : public ::testing::Test {
protected:
    EnemyKind kind{};
    void SetUp() override {
        HeadlessReset();
        ResetGameState();
        SetNormal();
        std::strcpy(kind.glyph, Sjis("Ｐ").c_str());
        kind.target = 1;
    }
    void SetName(const std::string& utf8) { std::strcpy(kind.name, Sjis(utf8).c_str()); }
};

// ---- the group ----

TEST_F(EnemyViewTest, EveryGroupSizeStandsInItsArrangement) {
    struct Layout {
        int size;
        std::string rows[3];  // rows 2 to 4, columns 25 to 48
    } layouts[] = {
        {1, {"", Blanks(11) + "Ｐ", ""}},
        {2, {"", Blanks(9) + "Ｐ  Ｐ", ""}},
        {3, {Blanks(9) + "Ｐ  Ｐ", "", Blanks(11) + "Ｐ"}},
        {4, {Blanks(9) + "Ｐ  Ｐ", "", Blanks(9) + "Ｐ  Ｐ"}},
        {5, {Blanks(8) + "Ｐ    Ｐ", Blanks(11) + "Ｐ", Blanks(8) + "Ｐ    Ｐ"}},
        {6, {Blanks(7) + "Ｐ  Ｐ  Ｐ", "", Blanks(7) + "Ｐ  Ｐ  Ｐ"}},
        {7, {Blanks(5) + "Ｐ  Ｐ  Ｐ  Ｐ", "", Blanks(7) + "Ｐ  Ｐ  Ｐ"}},
    };
    for (const Layout& layout : layouts) {
        HeadlessReset();
        // Defeats do not change the arrangement: the group is both counts together.
        battleState.enemiesLeft = static_cast<int16_t>(layout.size - 1);
        battleState.defeatedCount = 1;
        DrawEnemyGroup(kind, battleState.enemiesLeft + battleState.defeatedCount);
        for (int i = 0; i < 3; ++i) {
            const std::string expected = layout.rows[i].empty() ? "" : Blanks(25) + layout.rows[i];
            EXPECT_EQ(ScreenLine(2 + i), expected) << "group " << layout.size << " row " << 2 + i;
        }
        for (int row : {0, 1, 5, 6}) EXPECT_EQ(ScreenLine(row), "") << "group " << layout.size;
    }
}

TEST_F(EnemyViewTest, GroupSizesOutsideOneToSevenDrawNothing) {
    for (int size : {0, 8, -3, 40}) {
        battleState.enemiesLeft = static_cast<int16_t>(size);
        DrawEnemyGroup(kind, battleState.enemiesLeft + battleState.defeatedCount);
    }
    EXPECT_EQ(HeadlessWriteCount(), 0);
}

TEST_F(EnemyViewTest, ANarrowGlyphKeepsTheStartingPositions) {
    std::strcpy(kind.glyph, "P");
    battleState.enemiesLeft = 7;
    DrawEnemyGroup(kind, battleState.enemiesLeft + battleState.defeatedCount);
    EXPECT_EQ(ScreenLine(2), Blanks(30) + "P   P   P   P");
    EXPECT_EQ(ScreenLine(4), Blanks(32) + "P   P   P");
}

TEST_F(EnemyViewTest, InstancePositionsForTheTargetChoice) {
    InstancePlace place{-1, -1};
    ASSERT_TRUE(InstancePosition(7, 4, place));
    EXPECT_EQ(place.column, 17);
    EXPECT_EQ(place.row, 2);
    ASSERT_TRUE(InstancePosition(5, 3, place));
    EXPECT_EQ(place.column, 11);
    EXPECT_EQ(place.row, 3);
    ASSERT_TRUE(InstancePosition(1, 1, place));
    EXPECT_EQ(place.column, 11);
    EXPECT_EQ(place.row, 3);

    place = {-1, -1};
    EXPECT_FALSE(InstancePosition(3, 4, place));
    EXPECT_FALSE(InstancePosition(3, 0, place));
    EXPECT_FALSE(InstancePosition(0, 1, place));
    EXPECT_FALSE(InstancePosition(8, 1, place));
    EXPECT_EQ(place.column, -1);
}

TEST_F(EnemyViewTest, ErasingInstanceThreeOfFiveBlanksTheMiddleGlyphOnly) {
    battleState.enemiesLeft = 5;
    DrawEnemyGroup(kind, battleState.enemiesLeft + battleState.defeatedCount);
    kind.target = 3;
    EraseEnemyInstance(kind, 5);
    EXPECT_EQ(ScreenLine(2), Blanks(33) + "Ｐ    Ｐ");
    EXPECT_EQ(ScreenLine(3), "");
    EXPECT_EQ(ScreenLine(4), Blanks(33) + "Ｐ    Ｐ");

    kind.target = 5;
    EraseEnemyInstance(kind, 5);
    EXPECT_EQ(ScreenLine(4), Blanks(33) + "Ｐ");
}

TEST_F(EnemyViewTest, ATargetOutsideTheGroupErasesNothing) {
    battleState.enemiesLeft = 5;
    DrawEnemyGroup(kind, battleState.enemiesLeft + battleState.defeatedCount);
    const long long writes = HeadlessWriteCount();
    kind.target = 0;
    EraseEnemyInstance(kind, 5);
    kind.target = 6;
    EraseEnemyInstance(kind, 5);
    kind.target = 1;
    EraseEnemyInstance(kind, 0);
    EraseEnemyInstance(kind, 8);
    EXPECT_EQ(HeadlessWriteCount(), writes);
}

// ---- name banners ----

const std::string kBannerTop = Blanks(28) + Repeat("＿", 10);
const std::string kBannerBottom = Blanks(26) + Repeat("￣", 10);

TEST_F(EnemyViewTest, KindBannerPlacesTheNameByKindNumber) {
    SetName("ポーン");
    kind.kindNo = 1;
    DrawKindBanner(kind);
    EXPECT_EQ(ScreenLine(8), kBannerTop);
    EXPECT_EQ(ScreenLine(9), Blanks(26) + "／　　　ポーン　　　／");
    EXPECT_EQ(ScreenLine(10), kBannerBottom);

    EraseBanner();
    for (int row = 8; row <= 10; ++row) EXPECT_EQ(ScreenVisible(row), "") << "row " << row;

    SetName("ビショップ");
    kind.kindNo = 3;
    DrawKindBanner(kind);
    EXPECT_EQ(ScreenVisible(9), Middle(32, "ビショップ", 42));

    SetName("クイーン");
    kind.kindNo = 5;
    DrawKindBanner(kind);
    EXPECT_EQ(ScreenVisible(9), Middle(33, "クイーン", 41));
}

TEST_F(EnemyViewTest, AnUnknownKindNumberShowsTheFrameAlone) {
    SetName("ポーン");
    for (int kindNo : {0, 7, 300}) {
        kind.kindNo = static_cast<uint16_t>(kindNo);
        DrawKindBanner(kind);
        EXPECT_EQ(ScreenLine(9), Blanks(26) + "／　　　　  　　　　／") << kindNo;
    }
}

TEST_F(EnemyViewTest, AttackBannerAndHeroBannerTexts) {
    DrawAttackBanner();
    EXPECT_EQ(ScreenVisible(9), Middle(33, "敵の攻撃", 41));

    std::strcpy(hero.name, "Takeshi");  // 7 bytes: centred at V + 11 - 3
    DrawHeroBanner(hero);
    EXPECT_EQ(ScreenLine(8), kBannerTop);
    EXPECT_EQ(ScreenLine(9), Middle(33, "Takeshi", 40));
    EXPECT_EQ(ScreenLine(10), kBannerBottom);

    std::strcpy(hero.name, Sjis("勇者").c_str());  // 4 bytes: V + 9
    DrawHeroBanner(hero);
    EXPECT_EQ(ScreenLine(9), Middle(34, "勇者", 38));
}

TEST_F(EnemyViewTest, AHeroNameFillingItsWholeFieldStaysInsideTheBanner) {
    std::memset(hero.name, 'A', sizeof hero.name);  // no terminating zero
    hero.maxHp = 0x4242;                            // bytes that must not show as "BB"
    DrawHeroBanner(hero);
    EXPECT_EQ(ScreenLine(9), Middle(28, std::string(16, 'A'), 44));

    std::strcpy(hero.name, "ABCDEFGHIJKLMNO");  // the longest a hero file gives
    DrawHeroBanner(hero);
    EXPECT_EQ(ScreenLine(9), Middle(29, "ABCDEFGHIJKLMNO", 44));
}

// ---- slides ----

TEST_F(EnemyViewTest, EachNameBannerSlidesInTenFramesAndRestoresTheViewColumn) {
    SetName("ポーン");
    kind.kindNo = 1;
    std::strcpy(hero.name, "Takeshi");
    struct Slide {
        const char* name;
        void (*run)(const EnemyKind&);
        std::string middle;
    } slides[] = {
        {"kind", [](const EnemyKind& k) { SlideKindBanner(k); }, Middle(34, "ポーン", 40)},
        {"attack", [](const EnemyKind&) { SlideAttackBanner(); }, Middle(33, "敵の攻撃", 41)},
        {"hero", [](const EnemyKind&) { SlideHeroBanner(hero); }, Middle(33, "Takeshi", 40)},
    };
    for (const Slide& slide : slides) {
        HeadlessReset();
        slide.run(kind);
        EXPECT_EQ(HeadlessMilliseconds(), 10) << slide.name;
        EXPECT_EQ(viewColumn, 25) << slide.name;
        // Only the resting frame is left: nothing but blanks to the right of it.
        EXPECT_EQ(ScreenVisible(8), kBannerTop) << slide.name;
        EXPECT_EQ(ScreenVisible(9), slide.middle) << slide.name;
        EXPECT_EQ(ScreenVisible(10), kBannerBottom) << slide.name;
    }
}

TEST_F(EnemyViewTest, SelectionBannerSlidesToOneColumnLeftOfTheView) {
    FillRow(8, 'x');
    SlideSelectionBanner();
    EXPECT_EQ(HeadlessMilliseconds(), 8);
    EXPECT_EQ(viewColumn, 25);
    EXPECT_EQ(ScreenLine(7), Blanks(24) + "＜　対　象　の　選　択　＞");
    EXPECT_EQ(ScreenLine(8), std::string(79, 'x'));  // the blanks stop at the row's end
    EXPECT_EQ(consoleCursor.X, 23);
    EXPECT_EQ(consoleCursor.Y, 7);
}

TEST_F(EnemyViewTest, EraseSelectionBannerBlanksExactlyTheRestingBanner) {
    FillRow(7, 'x');
    EraseSelectionBanner();
    EXPECT_EQ(ScreenLine(7), std::string(24, 'x') + Blanks(26) + std::string(29, 'x'));
}

// ---- level-up window ----

TEST_F(EnemyViewTest, LevelUpWindowReplacesTheEnemyViewOnly) {
    for (int row = 0; row <= 11; ++row) FillRow(row, 'x');
    std::strcpy(hero.name, "Takeshi");

    ClearViewArea();
    for (int row = 0; row <= 10; ++row) {
        EXPECT_EQ(ScreenLine(row), std::string(25, 'x') + Blanks(53) + "x") << "row " << row;
    }
    EXPECT_EQ(ScreenLine(11), std::string(79, 'x'));

    DrawLevelUpFrame(hero);
    // The title starts on the second half of a line mark and ends on the first
    // half of another; the console blanks the halves left over.
    EXPECT_EQ(ScreenLine(0), std::string(25, 'x') + " ＿＿ Takeshi - LEVEL UP + STATUS UP - " + Repeat("＿", 7) + "x");
    for (int row = 1; row <= 9; ++row) {
        EXPECT_EQ(ScreenLine(row), std::string(25, 'x') + "|" + Blanks(52) + "|") << "row " << row;
    }
    EXPECT_EQ(ScreenLine(10), std::string(25, 'x') + "|" + Repeat("＿", 26) + "|");
    EXPECT_EQ(ScreenLine(11), std::string(79, 'x'));
    EXPECT_EQ(HeadlessMilliseconds(), 0);
}

}  // namespace
