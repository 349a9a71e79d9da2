#include "battle/formulas.h"

#include <cmath>

uint32_t randState = 1;

namespace {

// Reads the low 16 bits of an integer as a signed 16-bit value.
int16_t Signed16(long long value) {
    long long low = static_cast<long long>(static_cast<unsigned long long>(value) & 0xFFFFu);
    return static_cast<int16_t>(low >= 0x8000 ? low - 0x10000 : low);
}

// The low 16 bits of a floating value truncated toward zero. The truncated
// value is an exact integer, so its remainder by 65536 is exact too, however
// large it is. Only finite values come here (see Divisor).
int16_t TruncLow16(double value) {
    double low = std::fmod(std::trunc(value), 65536.0);  // -65535..65535, exact
    return Signed16(static_cast<long long>(low));
}

// x mod n for a draw x >= 0. A divisor of 0 (a speed of -1, a statistic sum of
// 0) leaves no room for chance: the remainder is 0.
int Remainder(int x, long long n) {
    if (n == 0) return 0;
    return static_cast<int>(x % n);
}

// A divisor taken from the data. A defense of 0 (or a doubled 32768 that wrapped
// to 0) would divide by zero; such a defender counts as having defense 1, so
// the damage is the full numerator, finite and no smaller than against 1.
double Divisor(unsigned long long value) { return value == 0 ? 1.0 : static_cast<double>(value); }

// swing := trunc(r / denominator * 10.0 - 4.0), in this order.
int Swing(int r, int denominator) {
    return static_cast<int>(std::trunc(static_cast<double>(r) / static_cast<double>(denominator) * 10.0 - 4.0));
}

// damage := low 16 bits of trunc((base + bonus) + swing).
int16_t Damage(double base, double bonus, int swing) {
    double sum = base + bonus;
    return TruncLow16(sum + static_cast<double>(swing));
}

// The growth bonus: one draw, 1 with chance s/300.
int GrowthBonus(uint32_t s) {
    int r = Rand();
    return s > static_cast<uint32_t>(r % 300) ? 1 : 0;
}

}  // namespace

void SeedRand(long long seconds) { randState = static_cast<uint32_t>(static_cast<unsigned long long>(seconds)); }

int Rand() {
    randState = randState * 214013u + 2531011u;
    return static_cast<int>((randState >> 16) & 0x7FFFu);
}

int16_t ComputeHeroDamage(const HeroStatus& hero, const EnemyKind& kind, const AbilityInfo& ability) {
    int r0 = Rand();
    int level = hero.level;
    int r = Remainder(r0, 2 * level + 101);
    unsigned long long numerator = static_cast<unsigned long long>(hero.attack) * ability.rate + ability.power;
    double base = static_cast<double>(numerator) / Divisor(kind.defense);
    unsigned long long guard = static_cast<unsigned long long>(kind.defense) * kind.magicDefense;
    double bonus = static_cast<double>(hero.exp) / Divisor(guard);
    return Damage(base, bonus, Swing(r, 2 * level + 100));
}

int16_t ComputeEnemyDamage(const HeroStatus& hero, const EnemyKind& kind, const AbilityInfo& ability) {
    int r0 = Rand();
    int scaledLevel = (2 * hero.level) / 3;
    int r = Remainder(r0, 2 * scaledLevel + 101);
    unsigned long long numerator = static_cast<unsigned long long>(kind.attack) * ability.rate + ability.power;
    double base = static_cast<double>(numerator) / Divisor(hero.defense);
    uint32_t scaledExp = (2u * hero.exp) / 3u;  // the doubling wraps in 32 bits
    unsigned long long guard = static_cast<unsigned long long>(hero.defense) * hero.magicDefense;
    double bonus = static_cast<double>(scaledExp) / Divisor(guard);
    return Damage(base, bonus, Swing(r, 2 * scaledLevel + 100));
}

int IsAttackEvaded(int16_t d, int16_t s, int16_t p) {
    int r1 = Rand();
    int16_t dodge = Signed16(d + d / 2 + Remainder(r1, d + 1));
    int r2 = Rand();
    int16_t aim = Signed16(s * p + Remainder(r2, s + 1));
    return dodge > aim ? 1 : 0;
}

int16_t FleePursuitValue(uint16_t enemySpeed, int16_t enemiesLeft) {
    double share = enemiesLeft * 3.0 / 4.0;
    return TruncLow16(static_cast<double>(enemySpeed) * share);
}

int FleeSucceeds(int16_t a, int16_t b) {
    long long level = hero.level;
    int r1 = Rand();
    int16_t run = Signed16(a * 2LL * level + Remainder(r1, a + 1));
    int r2 = Rand();
    int16_t chase = Signed16(b * 4LL * level + Remainder(r2, b + 1));
    return run > chase ? 1 : 0;
}

uint16_t ComputeExpAward(const EnemyKind& kind) {
    int r = Rand();
    uint32_t sum = static_cast<uint32_t>(kind.maxHp) + kind.attack + kind.defense + kind.magicAttack +
                   kind.magicDefense + kind.speed;
    uint32_t award = sum + static_cast<uint32_t>(Remainder(r, sum)) + sum / 6;
    return static_cast<uint16_t>(award);
}

void UpdateNextLevelExp(HeroStatus& hero) {
    uint32_t sum = static_cast<uint32_t>(hero.maxHp) + hero.attack + hero.defense + hero.magicAttack +
                   hero.magicDefense + hero.speed;
    uint32_t a = static_cast<uint32_t>((static_cast<unsigned long long>(sum) * hero.level) % 65536u);
    if (a >= 10 && a <= 99) a = (a + 5) / 10 * 10;
    if (a >= 100) a = (a + 50) / 100 * 100;
    hero.nextLevelExp = a;
}

void GrowStats(HeroStatus& hero) {
    uint32_t s = (hero.exp - hero.nextLevelExp) % 300u;
    int hpGain = 3 + Rand() % 5;  // the mod-5 draw comes before the bonus draw
    hpGain += GrowthBonus(s);
    hero.maxHp = static_cast<uint16_t>(hero.maxHp + hpGain);
    uint16_t* stats[] = {&hero.attack, &hero.defense, &hero.magicAttack, &hero.magicDefense, &hero.speed};
    for (uint16_t* stat : stats) {
        int gain = Rand() % 4 - 1;  // the mod-4 draw first, then the bonus draw
        gain += GrowthBonus(s);
        if (gain <= 0) gain = 1;
        *stat = static_cast<uint16_t>(*stat + gain);
    }
}
