// Items and timed boosts on the headless console: the boosts' slots, markers,
// bars and expiry, the item window's drawing and keys, and each item's use.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "battle/battle_state.h"
#include "battle/boosts.h"
#include "battle/item_command.h"
#include "battle/menu_window.h"
#include "console/battle_screen.h"
#include "console/console.h"
#include "console/enemy_view.h"
#include "console/message_log.h"
#include "game/game_state.h"
#include "tests/test_support.h"

namespace {

constexpr long long kKeyGap = 10000;  // longer than any typing between two keys
constexpr int kStopped = -1;          // the run waited for a key that never came

// Every cell's byte and attribute, to compare two runs.
std::string ScreenDump() {
    std::string dump;
    for (int row = 0; row < 30; ++row) {
        for (int column = 0; column < 80; ++column) {
            dump += static_cast<char>(HeadlessScreen().cells[row][column].byte);
            dump += static_cast<char>('0' + HeadlessScreen().cells[row][column].attribute);
        }
    }
    return dump;
}

class ItemsTest : public ::testing::Test {
protected:
    EnemyKind kind{};
    long long due = 0;

    void SetUp() override {
        HeadlessReset();
        due = 0;
        ResetGameState();
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

    // The item window until it returns, or kStopped when it waits for a key
    // that never comes.
    int RunItemCommand() {
        try {
            return ItemCommand(kind);
        } catch (const HeadlessStop& stop) {
            EXPECT_EQ(stop.reason, HeadlessStop::kOutOfKeys);
            return kStopped;
        }
    }
    // The window's 20 columns of a row.
    static std::string WindowRow(int row) { return ScreenText(row, kMenuColumn, kMenuColumn + kMenuWidth); }
    static std::string WindowLine(const std::string& name) { return " ＜  " + name + "  ＞ "; }

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

// ---- the item window ----

TEST_F(ItemsTest, TheWindowSlidesInLineByLineAndShowsThePotionCount) {
    HeadlessSetTimeLimit(0);  // stops in the pause after the first step
    EXPECT_THROW(OpenItemWindow(), HeadlessStop);
    EXPECT_EQ(WindowRow(0), WindowLine("バックラー"));  // line 3 enters on row 0

    SetUp();
    OpenItemWindow();
    EXPECT_EQ(HeadlessMilliseconds(), 7 + 5 + 3);  // 1 ms a step
    EXPECT_EQ(menuTop, 0);
    EXPECT_EQ(WindowRow(0), "________Item________");
    EXPECT_EQ(WindowRow(2), WindowLine("ポーション"));
    EXPECT_EQ(WindowRow(4), WindowLine("プロテイン"));
    EXPECT_EQ(WindowRow(6), WindowLine("バックラー"));
    for (int row : {1, 3, 5, 7}) EXPECT_EQ(WindowRow(row), Blanks(20)) << "row " << row;
    for (int column : {55, 56, 71, 72}) {
        EXPECT_EQ(ScreenAttribute(column, 2), 15u);
        EXPECT_EQ(ScreenAttribute(column, 4), 7u);
        EXPECT_EQ(ScreenAttribute(column, 6), 7u);
    }
    EXPECT_EQ(ScreenAttribute(59, 2), 7u);

    SetUp();
    EXPECT_EQ(RunItemCommand(), kStopped);
    EXPECT_EQ(WindowRow(10), " ＜     × 10    ＞ ");
    EXPECT_EQ(ScreenAttribute(65, 10), 15u);
    EXPECT_EQ(ScreenAttribute(66, 10), 15u);
    EXPECT_EQ(ScreenAttribute(55, 10), 7u);
    EXPECT_EQ(ScreenAttribute(62, 10), 7u);
    EXPECT_EQ(textAttribute, kAttributeNormal);
}

TEST_F(ItemsTest, SpaceAndLeftCloseTheWindowWithItsBanners) {
    for (int key : {KeySpace, KeyLeft}) {
        SCOPED_TRACE("key " + std::to_string(key));
        SetUp();
        SlideSelectionBanner();
        SlideHeroBanner(hero);
        Press({KeyDown, key});
        EXPECT_EQ(RunItemCommand(), kOutcomeNone);
        for (int row = 0; row <= 10; ++row) EXPECT_EQ(WindowRow(row), Blanks(20)) << "row " << row;
        for (int row = 7; row <= 10; ++row) EXPECT_EQ(ScreenVisible(row), "") << "row " << row;
        EXPECT_EQ(battleState.itemCursor, 0);
        EXPECT_EQ(battleState.turnCount, 0);
        EXPECT_EQ(hero.items[kPotion].count, 10);
    }
}

// The cursor stops at both ends; the count field shows the count under the
// cursor, bright, with no digit of a longer count left behind.
TEST_F(ItemsTest, TheCursorStopsAtTheEndsAndTheCountFollowsIt) {
    // A fresh window, then the keys; the run stops when they are used up.
    auto runWith = [this](std::initializer_list<int> keys) {
        SetUp();
        hero.items[kPotion].count = 12;
        hero.items[kProtein].count = 3;
        hero.items[kBuckler].count = 7;
        Press(keys);
        EXPECT_EQ(RunItemCommand(), kStopped);
        return ScreenDump();
    };
    const std::string opened = runWith({});
    EXPECT_EQ(runWith({KeyUp}), opened);  // up on the potion: nothing moves
    EXPECT_EQ(battleState.itemCursor, 0);

    runWith({KeyDown});
    EXPECT_EQ(battleState.itemCursor, 1);
    EXPECT_EQ(ScreenText(10, 65, 70), "3    ");
    EXPECT_EQ(ScreenAttribute(65, 10), 15u);
    EXPECT_EQ(ScreenAttribute(55, 2), 7u);
    EXPECT_EQ(ScreenAttribute(55, 4), 15u);
    EXPECT_EQ(ScreenAttribute(72, 4), 15u);

    const std::string onBuckler = runWith({KeyDown, KeyDown});
    EXPECT_EQ(runWith({KeyDown, KeyDown, KeyDown}), onBuckler);  // down on the buckler: nothing moves
    EXPECT_EQ(battleState.itemCursor, 2);
    EXPECT_EQ(ScreenText(10, 65, 70), "7    ");
    EXPECT_EQ(ScreenAttribute(55, 4), 7u);
    EXPECT_EQ(ScreenAttribute(55, 6), 15u);

    runWith({KeyDown, KeyDown, KeyUp});
    EXPECT_EQ(battleState.itemCursor, 1);
    EXPECT_EQ(ScreenAttribute(55, 6), 7u);
    EXPECT_EQ(ScreenAttribute(55, 4), 15u);
}

// ---- using items ----

TEST_F(ItemsTest, APotionRestoresUpToTwentyPointsOneByOne) {
    struct Case {
        int hp;
        int healed;
    };
    for (Case c : {Case{95, 5}, Case{70, 20}, Case{100, 0}}) {
        SCOPED_TRACE("hp " + std::to_string(c.hp));
        SetUp();
        hero.hp = static_cast<int16_t>(c.hp);
        EXPECT_THROW(UseItem(1), HeadlessStop);  // waits on its message
        const std::string message = "ユウの体力が" + std::to_string(c.healed) + "回復しました。";
        EXPECT_EQ(LogRow(0), message);
        EXPECT_EQ(hero.hp, c.hp + c.healed);
        EXPECT_EQ(hero.items[kPotion].count, 9);
        EXPECT_EQ(battleState.itemUseCount, 1);
        const long long typing = 50 * static_cast<long long>(Sjis(message).size());
        EXPECT_EQ(HeadlessMilliseconds(), 20 * c.healed + typing);
        if (c.healed > 0) {
            const std::string number = std::to_string(hero.hp);
            EXPECT_EQ(ScreenText(14, 12, 12 + static_cast<int>(number.size())), number);
            EXPECT_EQ(ScreenAttribute(12, 14), 7u);
            const int dashes = HpBarLength(hero.hp, 100);
            EXPECT_EQ(ScreenText(13, 5, 23), std::string(static_cast<std::size_t>(dashes), '-') + Blanks(18 - dashes));
        }
    }
    SetUp();
    hero.hp = 95;
    HeadlessSetTimeLimit(45);  // stops in the third pause
    EXPECT_THROW(UseItem(1), HeadlessStop);
    EXPECT_EQ(hero.hp, 98);
    EXPECT_EQ(ScreenText(14, 12, 14), "98");
}

// After a use the count shows the new value, bright, before the enemies act,
// and a count one digit shorter leaves nothing behind.
TEST_F(ItemsTest, TheNewCountShowsBeforeTheEnemiesAct) {
    hero.hp = 90;
    Press({KeyEnter});
    PressConfirmKeys(1);  // the heal message; the enemy's attack then waits
    EXPECT_EQ(RunItemCommand(), kStopped);
    EXPECT_EQ(LogRow(0), "攻撃を回避しました。");
    EXPECT_EQ(LogRow(1), "ポーンの攻撃!!");
    EXPECT_EQ(ScreenText(10, 65, 70), "9    ");
    EXPECT_EQ(ScreenAttribute(65, 10), 15u);
    EXPECT_EQ(battleState.turnCount, 2);  // the item and the enemy's attack

    SetUp();
    Press({KeyEnter});
    PressConfirmKeys(2);
    Press({KeySpace});
    EXPECT_EQ(RunItemCommand(), kOutcomeNone);  // the window stayed open after the use
    EXPECT_EQ(hero.items[kPotion].count, 9);
}

TEST_F(ItemsTest, NoItemOfThatKindPassesNoTurn) {
    hero.items[kPotion].count = 0;
    hero.items[kProtein].count = 0;
    activeBoostCount = 3;  // the count is looked at before the three-at-once rule
    StartAttackBoost();
    StartDefenseBoost();
    StartDefenseBoost();
    Press({KeyEnter});
    PressConfirmKeys(1);
    Press({KeyDown, KeyEnter});
    PressConfirmKeys(1);
    Press({KeySpace});
    EXPECT_EQ(RunItemCommand(), kOutcomeNone);
    EXPECT_EQ(LogRow(0), "そのアイテムは持っていません。");
    EXPECT_EQ(LogRow(1), "そのアイテムは持っていません。");
    EXPECT_EQ(battleState.turnCount, 0);
    EXPECT_EQ(battleState.itemUseCount, 0);
    EXPECT_EQ(hero.items[kPotion].count, 0);
    EXPECT_EQ(attackBoosts[0].turnsLeft, 11);
}

// Three boosts in force refuse a protein and a buckler without a turn passing;
// a potion is still accepted.
TEST_F(ItemsTest, ThreeBoostsInForceRefuseAFourthButNotAPotion) {
    for (bool untilThePotion : {false, true}) {
        SCOPED_TRACE(untilThePotion ? "then a potion" : "protein and buckler");
        SetUp();
        activeBoostCount = 3;
        StartDefenseBoost();
        StartDefenseBoost();
        StartAttackBoost();
        Press({KeyDown, KeyEnter});
        PressConfirmKeys(1);
        Press({KeyDown, KeyEnter});
        PressConfirmKeys(1);
        if (!untilThePotion) {
            EXPECT_EQ(RunItemCommand(), kStopped);
            EXPECT_EQ(LogRow(0), "アイテムは同時に３つまでしか使えません。");
            EXPECT_EQ(LogRow(1), "アイテムは同時に３つまでしか使えません。");
            EXPECT_EQ(battleState.turnCount, 0);
            EXPECT_EQ(hero.items[kProtein].count, 3);
            EXPECT_EQ(hero.items[kBuckler].count, 3);
            EXPECT_EQ(attackBoosts[0].turnsLeft, 11);
            continue;
        }
        Press({KeyUp, KeyUp, KeyEnter});
        PressConfirmKeys(2);  // the heal message and the enemy's attack
        Press({KeySpace});
        EXPECT_EQ(RunItemCommand(), kOutcomeNone);
        EXPECT_EQ(hero.items[kPotion].count, 9);
        EXPECT_EQ(hero.items[kProtein].count, 3);
        EXPECT_EQ(battleState.turnCount, 2);
        EXPECT_EQ(battleState.itemUseCount, 1);
        EXPECT_EQ(attackBoosts[0].turnsLeft, 9);
        EXPECT_EQ(hero.attack, 25);
        EXPECT_EQ(hero.defense, 20);
    }
}

TEST_F(ItemsTest, WithTwoBoostsInForceAThirdIsAccepted) {
    activeBoostCount = 2;
    StartAttackBoost();
    StartDefenseBoost();
    Press({KeyDown, KeyEnter});
    PressConfirmKeys(1);  // the attack-up message; the enemy's attack then waits
    EXPECT_EQ(RunItemCommand(), kStopped);
    EXPECT_EQ(activeBoostCount, 3);
    EXPECT_EQ(hero.attack, 30);
    EXPECT_EQ(hero.items[kProtein].count, 2);
    EXPECT_EQ(attackBoosts[1].row, 2);
    EXPECT_EQ(attackBoosts[1].turnsLeft, 10);  // ticked once before the enemies
    EXPECT_EQ(ScreenText(18, 1, 3), "SA");
    EXPECT_EQ(ScreenText(18, 5, 23), std::string(18, '-'));
    EXPECT_EQ(LogRow(0), "攻撃を回避しました。");
}

// The right arrow uses an item as Enter does; the left arrow closes as space does.
TEST_F(ItemsTest, RightActsAsEnterAndLeftAsSpace) {
    std::vector<std::string> screens;
    std::vector<long long> times;
    for (int pair = 0; pair < 2; ++pair) {
        SetUp();
        Press({KeyDown, pair == 0 ? KeyEnter : KeyRight});
        PressConfirmKeys(2);
        Press({pair == 0 ? KeySpace : KeyLeft});
        EXPECT_EQ(RunItemCommand(), kOutcomeNone);
        EXPECT_EQ(hero.attack, 25);
        EXPECT_EQ(battleState.turnCount, 2);
        screens.push_back(ScreenDump());
        times.push_back(HeadlessMilliseconds());
    }
    EXPECT_EQ(screens[0], screens[1]);
    EXPECT_EQ(times[0], times[1]);
}

// The hero falling during the enemies' turn ends the window at once: the other
// instances do not attack and the boosts do not tick a second time.
TEST_F(ItemsTest, TheHeroFallingEndsTheWindowAtOnce) {
    hero.speed = 0;
    hero.maxHp = 10;
    hero.hp = 10;
    kind.speed = 5;
    kind.attack = 1000;
    abilities[kSwordCut].rate = 1;
    battleState.enemiesLeft = 2;
    activeBoostCount = 1;
    StartAttackBoost();
    attackBoosts[0].turnsLeft = 5;
    Press({KeyEnter});
    PressConfirmKeys(2);  // the heal message, "GAME OVER"
    EXPECT_EQ(RunItemCommand(), kOutcomeHeroFell);
    EXPECT_EQ(HeadlessKeysLeft(), 0u);
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(LogRow(0), "GAME OVER");
    EXPECT_EQ(battleState.turnCount, 2);
    EXPECT_EQ(attackBoosts[0].turnsLeft, 4);
}

}  // namespace
