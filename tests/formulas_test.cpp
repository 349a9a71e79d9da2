// The battle's numbers, checked against a reference generator written here
// from the recurrence, so that both the values and the order of draws count.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "battle/formulas.h"
#include "records/records.h"

namespace {

// An independent copy of the generator: the draws each formula should make.
struct Reference {
    uint32_t state;
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

class FormulasTest : public ::testing::Test {
protected:
    HeroStatus h{};
    EnemyKind kind{};
    AbilityInfo ability{};
    void SetUp() override {
        ClearRecords();
        h.level = 1;
        ability.rate = 1;
    }
    // After a formula ran from seed, the generator must stand exactly `draws` further on.
    void ExpectDrawsTaken(uint32_t seed, int draws) {
        Reference ref{seed};
        for (int i = 0; i < draws; ++i) ref.Next();
        EXPECT_EQ(Rand(), ref.Next()) << "draws taken differ from " << draws;
    }
};

TEST_F(FormulasTest, GeneratorFollowsItsRecurrence) {
    SeedRand(1);
    for (int expected : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(Rand(), expected);
    SeedRand((1LL << 32) + 1);  // only the low 32 bits of the seconds count
    EXPECT_EQ(Rand(), 41);
    SeedRand(1700000000);
    Reference ref{1700000000u};
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(Rand(), ref.Next());
}

TEST_F(FormulasTest, HeroDamageSwingsFromMinusFourToSixAtLevelOne) {
    h.attack = 10;
    kind.defense = 10;
    kind.magicDefense = 3;
    int seen[11] = {};
    SeedRand(7);
    Reference ref{7};
    for (int i = 0; i < 20000; ++i) {
        int r = ref.Next() % 103;
        int swing = static_cast<int>(std::trunc(r / 102.0 * 10.0 - 4.0));
        int16_t damage = ComputeHeroDamage(h, kind, ability);
        ASSERT_EQ(damage, 1 + swing);  // base 1.0, bonus 0: one draw per call
        ASSERT_GE(damage, -3);
        ASSERT_LE(damage, 7);
        ++seen[damage + 3];
    }
    for (int count : seen) EXPECT_GT(count, 0);
}

TEST_F(FormulasTest, HeroDamageAddsTheQuotientsBeforeTheSwingAndTruncatesOnce) {
    // base 1/2, bonus 0; a draw of 0 swings -4: trunc(0.5 - 4) is -3, not -4.
    h.attack = 1;
    kind.defense = 2;
    kind.magicDefense = 1;
    uint32_t seed = 0;
    for (;; ++seed) {
        Reference ref{seed};
        if (ref.Next() % 103 == 0) break;
    }
    SeedRand(seed);
    EXPECT_EQ(ComputeHeroDamage(h, kind, ability), -3);
    ExpectDrawsTaken(seed, 1);

    // base 7/2 and bonus 3/2 make exactly 5 before the swing.
    h.attack = 7;
    h.exp = 3;
    h.level = 20;
    ability.rate = 1;
    SeedRand(99);
    Reference ref{99};
    int r = ref.Next() % 141;
    int swing = static_cast<int>(std::trunc(r / 140.0 * 10.0 - 4.0));
    EXPECT_EQ(ComputeHeroDamage(h, kind, ability), 5 + swing);
    ExpectDrawsTaken(99, 1);
}

TEST_F(FormulasTest, DamageKeepsOnlyTheLowSixteenBits) {
    h.attack = 40000;
    h.level = 10000;  // the draw never exceeds the modulus: r = r0
    kind.defense = 1;
    kind.magicDefense = 1;
    SeedRand(5);
    Reference ref{5};
    int r = ref.Next();
    int swing = static_cast<int>(std::trunc(r / 20100.0 * 10.0 - 4.0));
    EXPECT_EQ(ComputeHeroDamage(h, kind, ability), 40000 + swing - 65536);

    // A huge experience bonus (about 4.29e9) still reduces exactly.
    h.attack = 0;
    h.exp = 4294967295u;
    SeedRand(5);
    long long whole = 4294967295LL + swing;
    EXPECT_EQ(ComputeHeroDamage(h, kind, ability), static_cast<int16_t>(static_cast<uint16_t>(whole & 0xFFFF)));
}

TEST_F(FormulasTest, EnemyDamageScalesLevelAndExperienceByTwoThirds) {
    kind.attack = 12;
    ability.rate = 2;
    ability.power = 6;
    h.defense = 10;
    h.magicDefense = 10;
    h.exp = 3000;  // (2 * 3000) div 3 = 2000, over 100: bonus 20
    for (uint16_t level : {1, 3, 50}) {
        h.level = level;
        int scaled = 2 * level / 3;
        SeedRand(11);
        Reference ref{11};
        int r = ref.Next() % (2 * scaled + 101);
        int swing = static_cast<int>(std::trunc(static_cast<double>(r) / (2 * scaled + 100) * 10.0 - 4.0));
        EXPECT_EQ(ComputeEnemyDamage(h, kind, ability), 3 + 20 + swing) << "level " << level;
        ExpectDrawsTaken(11, 1);
    }

    // The doubling of the experience wraps in 32 bits before the division by 3.
    kind.attack = 0;
    ability.power = 0;
    h.level = 1;
    h.exp = 3000000000u;
    h.defense = 1000;
    h.magicDefense = 1000;
    uint32_t scaledExp = static_cast<uint32_t>(2ull * 3000000000u) / 3u;  // 568344234
    SeedRand(11);
    Reference ref{11};
    int r = ref.Next() % 101;
    int swing = static_cast<int>(std::trunc(r / 100.0 * 10.0 - 4.0));
    EXPECT_EQ(ComputeEnemyDamage(h, kind, ability), static_cast<int>(std::trunc(scaledExp / 1e6 + swing)));
}

TEST_F(FormulasTest, AZeroDefenseCountsAsOne) {
    h.attack = 30;
    h.exp = 500;
    kind.attack = 30;
    kind.defense = 1;
    kind.magicDefense = 1;
    h.defense = 1;
    h.magicDefense = 1;
    SeedRand(3);
    int16_t againstOne = ComputeHeroDamage(h, kind, ability);
    int16_t heroAtOne = ComputeEnemyDamage(h, kind, ability);

    struct Case {
        uint16_t kindDefense, kindMagic, heroDefense, heroMagic;
    } cases[] = {{0, 1, 1, 1}, {1, 0, 1, 1}, {0, 0, 1, 1}, {1, 1, 0, 1}, {1, 1, 1, 0}, {1, 1, 0, 0}};
    for (const Case& c : cases) {
        kind.defense = c.kindDefense;
        kind.magicDefense = c.kindMagic;
        h.defense = c.heroDefense;  // a doubled 32768 wraps to 0 exactly like this
        h.magicDefense = c.heroMagic;
        SeedRand(3);
        EXPECT_EQ(ComputeHeroDamage(h, kind, ability), againstOne);
        EXPECT_EQ(ComputeEnemyDamage(h, kind, ability), heroAtOne);
    }
    // Nothing to divide at all: zero over a zero defense is no damage, not NaN.
    h.attack = 0;
    h.exp = 0;
    kind.defense = 0;
    kind.magicDefense = 0;
    h.level = 10000;
    SeedRand(1);  // first draw 41: swing trunc(41 / 20100 * 10 - 4) = -3
    EXPECT_EQ(ComputeHeroDamage(h, kind, ability), -3);
}

TEST_F(FormulasTest, EvadeDrawsTheDodgeFirstAndATieIsAHit) {
    SeedRand(123);
    Reference ref{123};
    for (int i = 0; i < 200; ++i) {
        int16_t d = static_cast<int16_t>(5 + i % 40), s = static_cast<int16_t>(3 + i % 17), p = 2;
        int dodge = d + d / 2 + ref.Next() % (d + 1);
        int aim = s * p + ref.Next() % (s + 1);
        ASSERT_EQ(IsAttackEvaded(d, s, p), dodge > aim ? 1 : 0);
    }
    SeedRand(9);
    EXPECT_EQ(IsAttackEvaded(0, 0, 5), 0);  // dodge 0, aim 0: a hit
    EXPECT_EQ(IsAttackEvaded(1, 0, 5), 1);  // dodge at least 1
    ExpectDrawsTaken(9, 4);
}

TEST_F(FormulasTest, EvadeReducesToSixteenBitsAndSurvivesASpeedOfMinusOne) {
    // s * p = 40000 (plus at most 200) reads as negative in 16 bits: a dodge
    // of 0 then beats it, whatever the draws.
    SeedRand(1);
    EXPECT_EQ(IsAttackEvaded(0, 200, 200), 1);
    // A speed of 65535 reads as -1: d + 1 is 0 and the random part is 0.
    SeedRand(1);
    EXPECT_EQ(IsAttackEvaded(-1, -1, 0), 0);  // dodge -1 + 0 + 0, aim 0 + 0
    ExpectDrawsTaken(1, 2);
}

TEST_F(FormulasTest, FleeWeighsSpeedAgainstThreeQuartersOfThePursuers) {
    EXPECT_EQ(FleePursuitValue(10, 3), 22);
    EXPECT_EQ(FleePursuitValue(10, 1), 7);
    EXPECT_EQ(FleePursuitValue(10, 4), 30);
    EXPECT_EQ(FleePursuitValue(65535, 7), static_cast<int16_t>(static_cast<uint16_t>(344058)));

    hero.level = 3;
    SeedRand(77);
    Reference ref{77};
    for (int i = 0; i < 200; ++i) {
        int16_t a = static_cast<int16_t>(1 + i % 30), b = static_cast<int16_t>(i % 50);
        int run = a * 2 * 3 + ref.Next() % (a + 1);
        int chase = b * 4 * 3 + ref.Next() % (b + 1);
        ASSERT_EQ(FleeSucceeds(a, b), run > chase ? 1 : 0);
    }
    EXPECT_EQ(FleeSucceeds(0, 0), 0);  // 0 against 0: caught
    // Large speeds and levels wrap in 16 bits without overflowing on the way.
    hero.level = 65535;
    SeedRand(2);
    ref = Reference{2};
    int run = static_cast<int16_t>(static_cast<uint16_t>((32767LL * 2 * 65535 + ref.Next() % 32768) & 0xFFFF));
    int chase = static_cast<int16_t>(static_cast<uint16_t>((32767LL * 4 * 65535 + ref.Next() % 32768) & 0xFFFF));
    EXPECT_EQ(FleeSucceeds(32767, 32767), run > chase ? 1 : 0);
    EXPECT_EQ(FleeSucceeds(-1, -1), 0);  // a speed of 65535: nothing to divide by
}

TEST_F(FormulasTest, ExpAwardRangesOverOneSumOfSixStatistics) {
    kind.maxHp = 20;
    kind.attack = 10;
    kind.defense = 10;
    kind.magicAttack = 5;
    kind.magicDefense = 5;
    kind.speed = 10;  // S = 60
    SeedRand(31);
    Reference ref{31};
    int low = 1000, high = 0;
    for (int i = 0; i < 5000; ++i) {
        int award = ComputeExpAward(kind);
        ASSERT_EQ(award, 60 + ref.Next() % 60 + 10);
        low = std::min(low, award);
        high = std::max(high, award);
    }
    EXPECT_EQ(low, 70);
    EXPECT_EQ(high, 129);

    // Six statistics of 65535: S = 393210, the award is kept modulo 65536.
    kind.maxHp = kind.attack = kind.defense = kind.magicAttack = kind.magicDefense = kind.speed = 65535;
    SeedRand(31);
    ref = Reference{31};
    EXPECT_EQ(ComputeExpAward(kind), (393210u + ref.Next() % 393210u + 65535u) % 65536u);

    // An enemy with no statistics at all is worth nothing, and still takes its draw.
    kind = EnemyKind{};
    SeedRand(31);
    EXPECT_EQ(ComputeExpAward(kind), 0);
    ExpectDrawsTaken(31, 1);
}

TEST_F(FormulasTest, NextLevelThresholdRoundsToTensThenHundreds) {
    struct Case {
        uint32_t product, threshold;
    } cases[] = {{0, 0},        {9, 9},         {14, 10},       {15, 20},       {94, 90},
                 {95, 100},     {99, 100},      {149, 100},     {150, 200},     {65449, 65400},
                 {65450, 65500}, {65535, 65500}, {1, 1}};
    for (const Case& c : cases) {
        h = HeroStatus{};
        h.maxHp = static_cast<uint16_t>(c.product);
        h.level = 1;
        h.nextLevelExp = 0xFFFF0000u;  // the whole field is written
        UpdateNextLevelExp(h);
        EXPECT_EQ(h.nextLevelExp, c.threshold) << c.product;
    }
    // Sum 700 at level 100: 70000 mod 65536 = 4464, rounded to 4500.
    h = HeroStatus{};
    h.maxHp = 200;
    h.attack = h.defense = h.magicAttack = h.magicDefense = h.speed = 100;
    h.level = 100;
    UpdateNextLevelExp(h);
    EXPECT_EQ(h.nextLevelExp, 4500u);
    // A product that is a multiple of 65536 gives a threshold of 0.
    h = HeroStatus{};
    h.maxHp = 256;
    h.level = 256;
    UpdateNextLevelExp(h);
    EXPECT_EQ(h.nextLevelExp, 0u);
    // The largest sum at the largest level does not overflow on the way.
    h.maxHp = h.attack = h.defense = h.magicAttack = h.magicDefense = h.speed = 65535;
    h.level = 65535;
    UpdateNextLevelExp(h);
    EXPECT_EQ(h.nextLevelExp, 6u);  // 393210 * 65535 = (-6) * (-1) mod 65536
}

// Expected growth by the reference generator: HP first (mod-5 draw, bonus
// draw), then the five statistics (mod-4 draw, bonus draw each).
void ExpectGrowth(uint32_t seed, uint32_t s, const HeroStatus& before, const HeroStatus& after) {
    Reference ref{seed};
    int hp = 3 + ref.Next() % 5;
    hp += s > static_cast<uint32_t>(ref.Next() % 300) ? 1 : 0;
    EXPECT_EQ(after.maxHp, static_cast<uint16_t>(before.maxHp + hp));
    const uint16_t HeroStatus::*stats[] = {&HeroStatus::attack, &HeroStatus::defense, &HeroStatus::magicAttack,
                                           &HeroStatus::magicDefense, &HeroStatus::speed};
    for (auto stat : stats) {
        int gain = ref.Next() % 4 - 1;
        gain += s > static_cast<uint32_t>(ref.Next() % 300) ? 1 : 0;
        if (gain <= 0) gain = 1;
        EXPECT_EQ(after.*stat, static_cast<uint16_t>(before.*stat + gain));
    }
}

TEST_F(FormulasTest, GrowStatsDrawsTwelveTimesInItsOrder) {
    for (uint32_t seed : {1u, 42u, 2024u, 99999u}) {
        for (uint32_t over : {0u, 10u, 150u, 299u, 300u}) {  // 0 and 300: never a bonus
            h = HeroStatus{};
            h.maxHp = 30;
            h.attack = 8;
            h.defense = 6;
            h.magicAttack = 4;
            h.magicDefense = 4;
            h.speed = 65535;  // additions are 16-bit
            h.nextLevelExp = 100;
            h.exp = 100 + over;
            HeroStatus before = h;
            SeedRand(seed);
            GrowStats(h);
            ExpectGrowth(seed, over % 300, before, h);
            ExpectDrawsTaken(seed, 12);
        }
    }
    // exp below the threshold: the difference wraps in 32 bits before mod 300.
    h = HeroStatus{};
    h.nextLevelExp = 1;  // 4294967295 mod 300 = 195
    HeroStatus before = h;
    SeedRand(8);
    GrowStats(h);
    ExpectGrowth(8, 195, before, h);
}

}  // namespace
