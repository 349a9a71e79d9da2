// Items and timed boosts on the headless console: the boosts' slots, markers,
// bars and expiry, the item window's drawing and keys, and each item's use.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "battle/battle_state.h"
#include "battle/boosts.h"
#include "console/console.h"
#include "console/message_log.h"
#include "tests/test_support.h"

namespace {

constexpr long long kKeyGap = 10000;  // longer than any typing between two keys

class ItemsTest : public ::testing::Test {
protected:
    EnemyKind kind{};
    long long due = 0;

    void SetUp() override {
        HeadlessReset();
        ClearRecords();
        ResetBattleState();
        ResetBoosts();
        ResetMessageLog();
        panelColumn = 1;
        viewColumn = 25;
        menuTop = 0;
        SetNormal();
        std::strcpy(hero.name, Sjis("ユウ").c_str());
        hero.maxHp = 100;
        hero.hp = 100;
        hero.attack = 20;
        hero.defense = 10;
        hero.magicDefense = 10;
        hero.speed = 10;  // dodges every attack of the kind below
        hero.level = 1;
        hero.items[kPotion].count = 10;
        hero.items[kProtein].count = 3;
        hero.items[kBuckler].count = 3;
        std::strcpy(kind.name, Sjis("ポーン").c_str());
        kind.speed = 0;
        battleState.enemiesLeft = 1;
    }

    // Keys that come one at a time, each long after the typing before it.
    void Press(std::initializer_list<int> codes) {
        for (int code : codes) HeadlessPushKey(code, due += kKeyGap);
    }
    void PressConfirmKeys(int count) {
        for (int i = 0; i < count; ++i) Press({KeyEnter});
    }

    static std::string LogRow(int n) {
        std::string text = ScreenText(kLogFirstRow + n, 27, 78);
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text;
    }
};

// ---- boosts ----

TEST_F(ItemsTest, ABoostStartsInTheFirstFreeSlotOnTheLowestFreeRow) {
    SetCursor(4, 16);
    WriteText("+");
    activeBoostCount = 1;
    StartAttackBoost();
    EXPECT_EQ(hero.attack, 25);
    EXPECT_EQ(attackBoosts[0].turnsLeft, 11);
    EXPECT_EQ(attackBoosts[0].row, 0);
    EXPECT_TRUE(attackBoosts[0].startedThisBattle);
    EXPECT_EQ(boostRowUsed[0], 1);
    EXPECT_EQ(ScreenText(16, 1, 4), "SA ");
    EXPECT_EQ(ScreenAttribute(1, 16), 15u);
    EXPECT_EQ(ScreenAttribute(2, 16), 15u);
    EXPECT_EQ(textAttribute, kAttributeNormal);
    EXPECT_EQ(activeBoostCount, 1);  // counted by the caller, not here

    activeBoostCount = 2;
    StartDefenseBoost();
    EXPECT_EQ(hero.defense, 15);
    EXPECT_EQ(defenseBoosts[0].row, 1);
    EXPECT_EQ(ScreenText(17, 1, 3), "SD");
}

// Two proteins in successive turns: attack + 10; the first ends two ticks
// before the second, each with its message and 5 points off.
TEST_F(ItemsTest, TwoProteinsEndTwoTicksApartEachWithItsMessage) {
    activeBoostCount = 1;
    StartAttackBoost();
    PressConfirmKeys(2);
    TickAttackBoosts();
    TickAttackBoosts();
    activeBoostCount = 2;
    StartAttackBoost();
    EXPECT_EQ(hero.attack, 30);
    EXPECT_EQ(attackBoosts[1].row, 1);
    for (int tick = 3; tick <= 10; ++tick) TickAttackBoosts();
    EXPECT_EQ(attackBoosts[0].turnsLeft, 1);
    EXPECT_EQ(ScreenText(16, 1, 23), "SA  -" + std::string(17, ' '));  // marker, (no separator drawn), bar
    TickAttackBoosts();  // the 11th tick ends the first
    EXPECT_EQ(attackBoosts[0].turnsLeft, kBoostFree);
    EXPECT_EQ(hero.attack, 25);
    EXPECT_EQ(activeBoostCount, 1);
    EXPECT_EQ(boostRowUsed[0], 0);
    EXPECT_EQ(ScreenText(16, 1, 5), "    ");
    EXPECT_EQ(LogRow(0), "プロテインの効果が切れました。");
    EXPECT_EQ(HeadlessKeysLeft(), 1u);
    TickAttackBoosts();
    EXPECT_EQ(attackBoosts[1].turnsLeft, 1);
    TickAttackBoosts();  // the second ends although slot 0 is free by now
    EXPECT_EQ(attackBoosts[1].turnsLeft, kBoostFree);
    EXPECT_EQ(hero.attack, 20);
    EXPECT_EQ(activeBoostCount, 0);
    EXPECT_EQ(ScreenText(17, 1, 3), "  ");
    EXPECT_EQ(LogRow(0), "プロテインの効果が切れました。");
    EXPECT_EQ(LogRow(1), "プロテインの効果が切れました。");
    EXPECT_EQ(HeadlessKeysLeft(), 0u);
}

TEST_F(ItemsTest, TicksRedrawTheBarsAndTickBoostsTakesAttackThenDefense) {
    activeBoostCount = 2;
    StartDefenseBoost();
    StartAttackBoost();
    defenseBoosts[0].turnsLeft = 1;
    attackBoosts[0].turnsLeft = 1;
    PressConfirmKeys(2);
    TickBoosts();
    EXPECT_EQ(LogRow(0), "バックラーの効果が切れました。");
    EXPECT_EQ(LogRow(1), "プロテインの効果が切れました。");
    EXPECT_EQ(hero.attack, 20);
    EXPECT_EQ(hero.defense, 10);

    ResetBoosts();
    activeBoostCount = 1;
    StartAttackBoost();
    long long start = HeadlessMilliseconds();
    TickBoosts();
    EXPECT_EQ(HeadlessMilliseconds(), start);  // 10 turns: 18 dashes at once
    EXPECT_EQ(ScreenText(16, 5, 23), std::string(18, '-'));
    TickBoosts();
    EXPECT_EQ(ScreenText(16, 5, 23), std::string(16, '-') + "  ");
}

// An ended boost frees its row; the next boost takes the lowest free row,
// above a boost still in force.
TEST_F(ItemsTest, AnEndedBoostFreesItsRowForTheNextBoost) {
    activeBoostCount = 2;
    StartAttackBoost();
    StartDefenseBoost();
    attackBoosts[0].turnsLeft = 1;
    PressConfirmKeys(1);
    TickAttackBoosts();
    EXPECT_EQ(boostRowUsed[0], 0);
    EXPECT_EQ(ScreenText(16, 1, 3), "  ");
    activeBoostCount = 2;
    StartDefenseBoost();
    EXPECT_EQ(defenseBoosts[1].row, 0);
    EXPECT_EQ(ScreenText(16, 1, 3), "SD");
    EXPECT_EQ(ScreenText(17, 1, 3), "SD");
    EXPECT_EQ(hero.defense, 20);
}

// Whatever the slots and rows say, nothing is read or written beyond them.
TEST_F(ItemsTest, AnInconsistentBoostStateStaysWithinTheSlotsAndRows) {
    for (uint16_t& used : boostRowUsed) used = 1;
    StartAttackBoost();  // no free row
    EXPECT_EQ(hero.attack, 20);
    EXPECT_EQ(attackBoosts[0].turnsLeft, kBoostFree);
    EXPECT_FALSE(AttackBoostRoom());

    ResetBoosts();
    for (BoostSlot& slot : defenseBoosts) slot = BoostSlot{5, 0, false};
    StartDefenseBoost();  // no free slot
    EXPECT_EQ(hero.defense, 10);
    EXPECT_FALSE(DefenseBoostRoom());
    EXPECT_TRUE(AttackBoostRoom());

    ResetBoosts();
    attackBoosts[2] = BoostSlot{1, 7, true};  // a row beyond the three
    PressConfirmKeys(1);
    TickAttackBoosts();
    EXPECT_EQ(attackBoosts[2].turnsLeft, kBoostFree);
    EXPECT_EQ(activeBoostCount, 0);  // not wrapped below 0
    EXPECT_EQ(hero.attack, 15);
}

}  // namespace
