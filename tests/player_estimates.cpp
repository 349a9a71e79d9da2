#include "tests/player_estimates.h"

#include <algorithm>
#include <cmath>

#include "battle/ability_command.h"
#include "battle/formulas.h"

namespace {

double HeroHitDamage(const EnemyKind& kind, const AbilityInfo& ability) {
    if (kind.defense == 0 || kind.magicDefense == 0) return 0;
    return (hero.attack * ability.rate + ability.power) / static_cast<double>(kind.defense) +
           hero.exp / (static_cast<double>(kind.defense) * kind.magicDefense) + 0.5;
}

int PotionsLeft() { return hero.items[kPotion].count; }

// The hero attacks to expect before an instance whose slot holds slotHp falls.
double AttacksToFell(const EnemyKind& kind, int slotHp) {
    const AbilityInfo& ability = abilities[StrongestAbility(kind, slotHp)];
    double perAttack = HeroHitDamage(kind, ability);
    double hitChance = HitChance(kind.speed, hero.speed, ability.power);
    if (perAttack <= 0.5 || hitChance <= 0.01) return 1e9;
    // The swing of every hit blurs the step from one hit more to one hit less:
    // half a hit beyond the share of the HP each takes, at least one.
    double hits = slotHp <= 0 ? 1 : std::max(1.0, slotHp / perAttack + 0.5);
    return hits / hitChance;
}

}  // namespace

double HitChance(int d, int s, int p) {
    if (d < 0) d = 0;
    if (s < 0) s = 0;
    int hits = 0;
    for (int a = 0; a <= d; ++a) {
        for (int b = 0; b <= s; ++b) hits += (d + d / 2 + a) <= (s * p + b);
    }
    return static_cast<double>(hits) / ((d + 1.0) * (s + 1.0));
}

int StrongestAbility(const EnemyKind& kind, int slotHp) {
    int best = 0;
    double bestValue = -1;
    double reach = std::max(slotHp, 1);
    for (int i = 0; i < AbilitiesListed(hero.level); ++i) {
        double damage = std::min(std::max(0.0, HeroHitDamage(kind, abilities[i])), reach);
        double value = damage * HitChance(kind.speed, hero.speed, abilities[i].power);
        if (value > bestValue) {
            bestValue = value;
            best = i;
        }
    }
    return best;
}

double ExpectedLoss(const EnemyKind& kind, int standing) {
    double loss = 0;
    for (int left = standing; left >= 1; --left) {
        double attacks = AttacksToFell(kind, kind.hp[std::min(left, kInstanceSlots) - 1]);
        // Every attack that fells nobody is answered by each standing instance.
        loss += (attacks - 1) * left * EnemyHitDamage(kind);
    }
    return loss;
}

double EnemyHitDamage(const EnemyKind& kind) {
    const AbilityInfo& ability = abilities[kind.abilityNo < kAbilityCount ? kind.abilityNo : 0];
    if (hero.defense == 0 || hero.magicDefense == 0) return 1000;
    double damage = (kind.attack * ability.rate + ability.power) / static_cast<double>(hero.defense) +
                    (2.0 * hero.exp / 3.0) / (static_cast<double>(hero.defense) * hero.magicDefense) + 0.5;
    return std::max(0.0, damage) * HitChance(hero.speed, kind.speed, ability.power);
}

double ExpectedLossBoosted(const EnemyKind& kind, int standing, int attackBonus, int defenseBonus) {
    HeroStatus before = hero;
    hero.attack = static_cast<uint16_t>(hero.attack + attackBonus);
    hero.defense = static_cast<uint16_t>(hero.defense + defenseBonus);
    double loss = ExpectedLoss(kind, standing);
    hero = before;
    return loss;
}

double FleeChance(const EnemyKind& kind, int standing) {
    // Every pair of the flight's two draws, counted: run a*2L + (0..a) against
    // chase b*4L + (0..b), as the flee command reduces them.
    int a = static_cast<int16_t>(hero.speed);
    int b = FleePursuitValue(kind.speed, static_cast<int16_t>(standing));
    if (a < 0 || b < 0) return 0;
    long long level = hero.level;
    long away = 0;
    for (int r1 = 0; r1 <= a; ++r1) {
        int16_t run = static_cast<int16_t>(a * 2LL * level + r1);
        for (int r2 = 0; r2 <= b; ++r2) away += run > static_cast<int16_t>(b * 4LL * level + r2);
    }
    return static_cast<double>(away) / ((a + 1.0) * (b + 1.0));
}

double ExpectedLossWhole(const EnemyKind& kind, int standing) {
    EnemyKind whole = kind;
    for (int16_t& slot : whole.hp) slot = static_cast<int16_t>(whole.maxHp);
    return ExpectedLoss(whole, standing);
}

bool CanBeat(const EnemyKind& kind, int standing, int hp) {
    double reserve = hp + 20.0 * std::min(PotionsLeft(), 2);
    return ExpectedLoss(kind, standing) < 0.7 * reserve;
}

double ExperienceOf(const EnemyKind& kind, int count) {
    double s = kind.maxHp + kind.attack + kind.defense + kind.magicAttack + kind.magicDefense + kind.speed;
    return (s + s / 2 + s / 6) * count;
}
