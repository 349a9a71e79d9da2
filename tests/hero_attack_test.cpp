// The hero's attack: evasion, damage on the HP slot of the standing count, the
// fall of an instance, victory with its experience and level-ups.
#include <gtest/gtest.h>

#include <cstring>

#include "battle/battle_state.h"
#include "battle/boosts.h"
#include "battle/formulas.h"
#include "battle/hero_attack.h"
#include "console/console.h"
#include "console/message_log.h"
#include "game/game_state.h"
#include "tests/battle_test_support.h"
#include "tests/test_support.h"

namespace {

class HeroAttackTest : public ::testing::Test {
protected:
    EnemyKind& kind = enemyKinds[kPawn];

    void SetUp() override {
        HeadlessReset();
        ResetGameState();
        SetUpPlainHero(100, 10, 1000);
        SetUpPlainAbilities();
        SetUpPlainKind(kind, "Pawn", "PP", 1, 12, 1, 200);  // defense 1: a damage of 96 to 106
        battleState.enemiesLeft = 3;
        SeedRand(1);
    }

    // Runs one attack with a confirm key that arrives after the messages have
    // been typed (a confirm key during the typing would only skip it).
    int Attack() {
        HeadlessPushKey(KeyEnter, HeadlessMilliseconds() + 60000);
        return HeroAttack(kind);
    }
};

TEST_F(HeroAttackTest, AnEvadedAttackChangesNoSlotAndTheEnemiesAnswer) {
    kind.speed = 1000;  // dodges everything the hero can aim
    EXPECT_EQ(Attack(), kOutcomeNone);
    EXPECT_EQ(battleState.turnCount, 1);
    EXPECT_EQ(kind.hp[2], 200);
    EXPECT_EQ(HeadlessKeysLeft(), 0u);  // the wait for a confirm key took the key
    EXPECT_EQ(ScreenLine(13), "");      // and the log was cleared after it
}

TEST_F(HeroAttackTest, HitsLowerTheSlotOfTheStandingCountWhicheverInstanceIsTargeted) {
    for (int16_t& slot : kind.hp) slot = 1000;
    kind.target = 1;
    EXPECT_EQ(Attack(), kOutcomeNone);
    int afterFirst = kind.hp[2];
    EXPECT_GE(afterFirst, 1000 - 106);
    EXPECT_LE(afterFirst, 1000 - 96);
    kind.target = 2;
    EXPECT_EQ(Attack(), kOutcomeNone);
    EXPECT_LT(kind.hp[2], afterFirst);
    EXPECT_EQ(kind.hp[0], 1000);
    EXPECT_EQ(kind.hp[1], 1000);
}

TEST_F(HeroAttackTest, AFallWithOthersStandingErasesTheTargetAndReturnsAtOnce) {
    kind.hp[2] = 50;
    kind.target = 2;
    battleState.abilityCursor = 1;  // Flame
    EXPECT_EQ(HeroAttack(kind), kOutcomeFell);  // no key awaited
    EXPECT_EQ(battleState.enemiesLeft, 2);
    EXPECT_EQ(battleState.defeatedCount, 1);
    EXPECT_EQ(battleState.defeated[2], 1);
    EXPECT_EQ(battleState.abilityCursor, 0);
    EXPECT_EQ(ScreenText(2, 25 + 13, 25 + 15), "  ");  // instance 2 of 3 stood at (V + 13, 2)
    EXPECT_EQ(ScreenLine(13).substr(27), "相手を倒しました。");
}

TEST_F(HeroAttackTest, ADamageBelowZeroCountsAndShowsAsZero) {
    hero.attack = 0;  // only the swing is left: -4 to 6
    for (uint32_t seed = 1;; ++seed) {
        SeedRand(seed);
        Rand();
        Rand();  // the evade test's two draws
        if (Rand() % 103 < 30) {  // a swing of -4 to -2
            SeedRand(seed);
            break;
        }
    }
    // No key: the run stops in the wait after the damage message, still on screen.
    EXPECT_THROW(HeroAttack(kind), HeadlessStop);
    EXPECT_EQ(kind.hp[2], 200);
    EXPECT_EQ(ScreenText(13, 27, 46), "相手に0のダメージ!!");
}

TEST_F(HeroAttackTest, ASlotAlreadyAtZeroFallsAtTheFirstHit) {
    battleState.enemiesLeft = 1;
    kind.hp[0] = 0;
    hero.attack = 0;  // with power 0 only the swing is left
    EXPECT_EQ(Attack(), kOutcomeWon);
}

TEST_F(HeroAttackTest, VictoryRestoresTheStatisticsAndRetiresOnlyTheBoostsOfThisBattle) {
    battleState.enemiesLeft = 1;
    kind.hp[0] = 5;
    // One buckler carried over from an earlier battle (its bonus is in the saved
    // defense) and one protein started in this battle.
    hero.savedDefense = 15;
    hero.defense = 15;
    defenseBoosts[0] = BoostSlot{7, 0, false};
    attackBoosts[0] = BoostSlot{9, 1, true};
    hero.attack = 105;
    boostRowUsed[0] = boostRowUsed[1] = 1;
    activeBoostCount = 2;
    EXPECT_EQ(Attack(), kOutcomeWon);
    EXPECT_EQ(hero.attack, 100);
    EXPECT_EQ(hero.defense, 15);
    EXPECT_EQ(attackBoosts[0].turnsLeft, kBoostFree);
    EXPECT_EQ(boostRowUsed[1], 0);
    EXPECT_EQ(defenseBoosts[0].turnsLeft, 7);
    EXPECT_EQ(activeBoostCount, 1);
    EXPECT_EQ(levelUpSnapshot.attack, 100);
}

TEST_F(HeroAttackTest, ABoostCarriedOverThatWearsOffIsNotGivenBackByTheVictory) {
    battleState.enemiesLeft = 1;
    kind.hp[0] = 5;
    // A protein from an earlier battle: its bonus is in the attack this battle saved.
    hero.attack = 105;
    hero.savedAttack = 105;
    attackBoosts[0] = BoostSlot{1, 0, false};
    boostRowUsed[0] = 1;
    activeBoostCount = 1;
    HeadlessPushKey(KeyEnter, 60000);  // the worn-off message
    TickAttackBoosts();
    EXPECT_EQ(hero.attack, 100);
    EXPECT_EQ(hero.savedAttack, 100);
    EXPECT_EQ(Attack(), kOutcomeWon);
    EXPECT_EQ(hero.attack, 100);
    EXPECT_EQ(activeBoostCount, 0);
}

TEST_F(HeroAttackTest, AVictoryWithoutALevelWaitsForAKey) {
    battleState.enemiesLeft = 1;
    kind.hp[0] = 5;
    kind.maxHp = 10;  // S = 10 + 0 + 1 + 0 + 1 + 0 = 12: an award of 12 + (r mod 12) + 2
    uint32_t before = hero.exp;
    EXPECT_EQ(Attack(), kOutcomeWon);
    EXPECT_GE(hero.exp - before, 14u);
    EXPECT_LE(hero.exp - before, 25u);
    EXPECT_EQ(HeadlessKeysLeft(), 0u);
    EXPECT_EQ(hero.level, 1);
}

TEST_F(HeroAttackTest, ALevelUpShowsTheWindowWithoutWaiting) {
    battleState.enemiesLeft = 1;
    kind.hp[0] = 5;
    hero.nextLevelExp = 10;
    hero.hp = 3;
    EXPECT_EQ(HeroAttack(kind), kOutcomeWon);
    EXPECT_EQ(hero.level, 2);
    EXPECT_EQ(hero.hp, static_cast<int16_t>(hero.maxHp));
    EXPECT_EQ(ScreenText(0, 31, 60), "Hero - LEVEL UP + STATUS UP -");
    EXPECT_EQ(ScreenText(2, 27, 33), "レベル");
    EXPECT_EQ(ScreenText(2, 54, 56), "+1");
    EXPECT_EQ(ScreenText(13, 27, 57), "主人公がレベルアップしました。");
    EXPECT_EQ(ScreenText(15, 27, 45), "戦闘に勝ちました。");
}

TEST_F(HeroAttackTest, AtTheTopLevelTheThresholdReachedGivesNoLevelUp) {
    battleState.enemiesLeft = 1;
    kind.hp[0] = 5;
    hero.level = 65535;
    hero.nextLevelExp = 10;
    hero.hp = 3;
    EXPECT_EQ(Attack(), kOutcomeWon);
    EXPECT_EQ(hero.level, 65535);
    EXPECT_EQ(hero.maxHp, 40);
    EXPECT_EQ(hero.hp, 3);
    EXPECT_EQ(HeadlessKeysLeft(), 0u);  // the victory waited for its key
    EXPECT_EQ(ScreenLine(0), "");       // no level-up window
    EXPECT_EQ(ScreenText(13, 27, 33), "経験値");  // the last message: no level-up follows
}

TEST(BattleExperienceTest, FortyTurnsOrMoreDivideTheTotal) {
    EXPECT_EQ(BattleExperience(110, 1, 39, 0), 110u);
    EXPECT_EQ(BattleExperience(110, 1, 40, 0), 99u);
    EXPECT_EQ(BattleExperience(11, 1, 40, 0), 10u);
    EXPECT_EQ(BattleExperience(110, 1, 55, 0), 80u);
    EXPECT_EQ(BattleExperience(40000, 2, 0, 0), 80000u % 65536);  // the total is 16-bit
}

TEST(BattleExperienceTest, ItemsCostFiveEachButTheGainNeverGoesBelowZero) {
    EXPECT_EQ(BattleExperience(50, 2, 3, 2), 90u);
    EXPECT_EQ(BattleExperience(8, 1, 3, 2), 0u);
}

class GainLevelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearRecords();
        hero.maxHp = 40;
        hero.attack = 10;
        hero.defense = 8;
        hero.magicAttack = 5;
        hero.magicDefense = 5;
        hero.speed = 6;
        hero.level = 1;
        SeedRand(7);
    }
};

TEST_F(GainLevelsTest, OneLevelKeepsTheExperienceAboveTheThreshold) {
    hero.exp = 110;
    hero.nextLevelExp = 100;
    GainLevels();
    EXPECT_EQ(hero.level, 2);
    EXPECT_EQ(hero.exp, 10u);
    EXPECT_GT(hero.nextLevelExp, 10u);
}

TEST_F(GainLevelsTest, AGainLargeEnoughForTwoLevelsGrowsTwice) {
    hero.exp = 100 + 200;
    hero.nextLevelExp = 100;
    GainLevels();  // level 2's threshold: (sum ~ 85) x 2, rounded to 200
    EXPECT_EQ(hero.level, 3);
    EXPECT_LT(hero.exp, hero.nextLevelExp);
    EXPECT_GT(hero.maxHp, 40 + 5);
}

TEST_F(GainLevelsTest, AThresholdOfZeroDoesNotLoopForEver) {
    // At level 32768 any even statistic sum gives a threshold of 0 (a multiple
    // of 65536 reduced to 16 bits); it counts as 65536 and the loop ends.
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        SetUp();
        SeedRand(seed);
        hero.level = 32767;
        hero.exp = 1000000;
        hero.nextLevelExp = 100;
        GainLevels();
        EXPECT_GT(hero.level, 32767);
        EXPECT_LT(hero.exp, hero.nextLevelExp);
    }
}

}  // namespace
