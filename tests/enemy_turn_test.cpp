// The enemies' turn on the headless console: the boost ticks around the
// attacks, each attack's messages and wait, the HP count-down and the defeat.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "battle/battle_state.h"
#include "battle/boosts.h"
#include "battle/enemy_turn.h"
#include "battle/formulas.h"
#include "console/console.h"
#include "console/message_log.h"
#include "game/game_state.h"
#include "tests/test_support.h"

namespace {

constexpr long long kKeyGap = 10000;  // longer than any typing between two waits
constexpr unsigned kSeed = 12345;

class EnemyTurnTest : public ::testing::Test {
protected:
    EnemyKind kind{};
    long long due = 0;

    void SetUp() override {
        HeadlessReset();
        ResetGameState();
        SetNormal();
        std::strcpy(hero.name, Sjis("ユウ").c_str());
        hero.maxHp = 100;
        hero.hp = 100;
        hero.attack = 20;
        hero.defense = 10;
        hero.magicDefense = 10;
        hero.speed = 0;  // never dodges
        hero.level = 1;
        std::strcpy(kind.name, Sjis("ポーン").c_str());
        kind.attack = 100;  // 10 per hit before the swing of -4..6
        kind.speed = 5;
        kind.abilityNo = kSwordCut;
        abilities[kSwordCut].rate = 1;
        abilities[kSwordCut].power = 0;
        battleState.enemiesLeft = 3;
    }

    // Confirm keys that come one at a time, each long after the typing before it.
    void PressConfirmKeys(int count) {
        for (int i = 0; i < count; ++i) HeadlessPushKey(KeyEnter, due += kKeyGap);
    }

    // The damages the next attacks deal, drawn as the attacks draw them.
    std::vector<int> Damages(unsigned seed, int attacks) {
        SeedRand(seed);
        std::vector<int> damages;
        for (int i = 0; i < attacks; ++i) {
            IsAttackEvaded(static_cast<int16_t>(hero.speed), static_cast<int16_t>(kind.speed), 0);
            damages.push_back(ComputeEnemyDamage(hero, kind, abilities[kSwordCut]));
        }
        return damages;
    }

    // Runs the turn until it waits for a key that never comes; false if it ended.
    bool StopsWaiting() {
        try {
            EnemyTurn(kind);
        } catch (const HeadlessStop& stop) {
            return stop.reason == HeadlessStop::kOutOfKeys;
        }
        return false;
    }

    static std::string LogRow(int n) {
        std::string text = ScreenText(kLogFirstRow + n, 27, 78);
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text;
    }
    static std::vector<std::string> Log() {
        std::vector<std::string> rows;
        for (int n = 0; n < kLogLineCount; ++n) rows.push_back(LogRow(n));
        return rows;
    }
    static std::string HpNumber() { return ScreenText(14, 12, 16); }
};

std::string DamageLine(int damage) { return "主人公に" + std::to_string(damage) + "のダメージ!!"; }

// A protein boost that ends at the first tick, a buckler boost that ends at the
// second, and a buckler boost that goes on: each wait of the turn in order.
TEST_F(EnemyTurnTest, ThreeInstancesAttackBetweenTwoTicks) {
    activeBoostCount = 2;
    StartDefenseBoost();
    StartDefenseBoost();  // defense 20 while the instances attack
    const std::vector<int> damages = Damages(kSeed, 3);
    for (int damage : damages) ASSERT_GT(damage, 0);
    const std::vector<std::vector<std::string>> waits = {
        {"プロテインの効果が切れました。", "", "", "", ""},
        {DamageLine(damages[0]), "ポーンの攻撃!!", "", "", ""},
        {DamageLine(damages[1]), "ポーンの攻撃!!", "", "", ""},
        {DamageLine(damages[2]), "ポーンの攻撃!!", "", "", ""},
        {"バックラーの効果が切れました。", "", "", "", ""},
    };
    for (int keys = 0; keys <= static_cast<int>(waits.size()); ++keys) {
        SCOPED_TRACE("confirm keys: " + std::to_string(keys));
        SetUp();
        due = 0;
        activeBoostCount = 3;
        StartAttackBoost();
        StartDefenseBoost();
        StartDefenseBoost();
        attackBoosts[0].turnsLeft = 1;
        defenseBoosts[0].turnsLeft = 2;
        defenseBoosts[1].turnsLeft = 5;
        SeedRand(kSeed);
        PressConfirmKeys(keys);
        if (keys < static_cast<int>(waits.size())) {
            ASSERT_TRUE(StopsWaiting());
            EXPECT_EQ(Log(), waits[keys]);
            continue;
        }
        EXPECT_EQ(EnemyTurn(kind), kOutcomeNone);
        EXPECT_EQ(HeadlessKeysLeft(), 0u);
        EXPECT_EQ(battleState.turnCount, 3);
        EXPECT_EQ(hero.hp, 100 - damages[0] - damages[1] - damages[2]);
        EXPECT_EQ(HpNumber(), std::to_string(hero.hp) + "  ");
        EXPECT_EQ(hero.attack, 20);
        EXPECT_EQ(hero.defense, 15);
        EXPECT_EQ(defenseBoosts[1].turnsLeft, 3);
        EXPECT_EQ(activeBoostCount, 1);
        EXPECT_EQ(Log(), waits.back());
    }
}

// A hit larger than the HP left counts down to 0 and no further, while the
// message names the whole damage; the first of three instances fells the hero,
// so the others do not attack and the boosts do not tick again.
TEST_F(EnemyTurnTest, TheHeroFallingToTheFirstAttackEndsTheTurn) {
    kind.attack = 1000;
    hero.hp = 5;
    activeBoostCount = 1;
    StartDefenseBoost();
    defenseBoosts[0].turnsLeft = 5;
    const int damage = Damages(kSeed, 1)[0];
    ASSERT_GT(damage, 5);
    SeedRand(kSeed);
    ASSERT_TRUE(StopsWaiting());  // after "GAME OVER" the turn waits for a key
    const std::vector<std::string> defeat = {"GAME OVER", "相手に敗れました。", DamageLine(damage), "ポーンの攻撃!!",
                                             ""};
    EXPECT_EQ(Log(), defeat);

    SetUp();
    hero.hp = 5;
    kind.attack = 1000;
    activeBoostCount = 1;
    StartDefenseBoost();
    defenseBoosts[0].turnsLeft = 5;
    SeedRand(kSeed);
    PressConfirmKeys(1);
    EXPECT_EQ(EnemyTurn(kind), kOutcomeHeroFell);
    EXPECT_EQ(HeadlessKeysLeft(), 0u);
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(HpNumber(), "0   ");
    EXPECT_EQ(ScreenText(13, 5, 23), std::string(18, ' '));  // no HP bar left
    EXPECT_EQ(battleState.turnCount, 1);
    EXPECT_EQ(defenseBoosts[0].turnsLeft, 4);
    EXPECT_EQ(Log(), defeat);
}

// The swing can bring a hit to 0 or below: it does no harm, never heals, and
// reads 0; a hero with 1 HP left stands.
TEST_F(EnemyTurnTest, AHitOfZeroOrLessLeavesTheHpAsItIs) {
    kind.attack = 0;
    battleState.enemiesLeft = 1;
    unsigned zeroSeed = 0;
    unsigned negativeSeed = 0;
    for (unsigned seed = 1; seed < 1000 && (zeroSeed == 0 || negativeSeed == 0); ++seed) {
        int damage = Damages(seed, 1)[0];
        if (damage == 0 && zeroSeed == 0) zeroSeed = seed;
        if (damage < 0 && negativeSeed == 0) negativeSeed = seed;
    }
    ASSERT_NE(zeroSeed, 0u);
    ASSERT_NE(negativeSeed, 0u);
    for (unsigned seed : {zeroSeed, negativeSeed}) {
        SCOPED_TRACE("damage " + std::to_string(Damages(seed, 1)[0]));
        hero.hp = 1;
        SeedRand(seed);
        PressConfirmKeys(1);
        EXPECT_EQ(EnemyAttack(kind), kOutcomeNone);
        EXPECT_EQ(hero.hp, 1);
        EXPECT_EQ(HeadlessKeysLeft(), 0u);
        EXPECT_EQ(messageLog.logLines[0].bytes, std::string(" "));  // cleared after the wait
        SeedRand(seed);
        ASSERT_TRUE(StopsWaiting());
        EXPECT_EQ(LogRow(0), DamageLine(0));
        EXPECT_EQ(hero.hp, 1);
        SetUp();
        kind.attack = 0;
        battleState.enemiesLeft = 1;
    }
}

// A quick hero dodges a slow enemy: the message, no HP lost, one wait.
TEST_F(EnemyTurnTest, ADodgedAttackCostsNoHp) {
    hero.speed = 10;
    kind.speed = 0;
    battleState.enemiesLeft = 1;
    SeedRand(kSeed);
    ASSERT_TRUE(StopsWaiting());
    EXPECT_EQ(LogRow(0), "攻撃を回避しました。");
    EXPECT_EQ(LogRow(1), "ポーンの攻撃!!");
    EXPECT_EQ(hero.hp, 100);

    SetUp();
    hero.speed = 10;
    kind.speed = 0;
    battleState.enemiesLeft = 1;
    PressConfirmKeys(1);
    EXPECT_EQ(EnemyTurn(kind), kOutcomeNone);
    EXPECT_EQ(hero.hp, 100);
    EXPECT_EQ(battleState.turnCount, 1);
}

// A kind whose file names an ability beyond the five attacks with the first.
TEST_F(EnemyTurnTest, AnAbilityNumberOutsideTheTableUsesTheFirstAbility) {
    kind.abilityNo = 9;
    battleState.enemiesLeft = 1;
    const int damage = Damages(kSeed, 1)[0];
    SeedRand(kSeed);
    PressConfirmKeys(1);
    EXPECT_EQ(EnemyAttack(kind), kOutcomeNone);
    EXPECT_EQ(hero.hp, 100 - damage);
}

}  // namespace
