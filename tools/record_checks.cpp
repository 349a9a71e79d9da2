#include "tools/record_checks.h"

#include <vector>

#include "records/records.h"
#include "tools/map_problems.h"

namespace {

constexpr long long kMax16 = 65535;
constexpr long long kMax32 = 2147483647;  // the largest number the game's reader keeps
constexpr long long kMaxHp = 32767;       // current HP counts are signed 16-bit

ItemRule Number(const char* name, long long high = kMax16) { return {name, kNumberItem, 0, high}; }

std::vector<ItemRule> HeroRules() {
    std::vector<ItemRule> rules = {{"name", kNameItem, 0, sizeof hero.name - 1},
                                   Number("max HP"), Number("attack"), Number("defense"), Number("magic attack"),
                                   Number("magic defense"), Number("speed"), Number("next level exp", kMax32),
                                   Number("exp", kMax32), Number("level")};
    const char* rest[] = {"spare 1",    "spare 2",        "spare 3",     "spare 4",       "potion held",
                          "potion count", "protein held", "protein count", "buckler held", "buckler count",
                          "hero column", "hero row"};
    for (const char* name : rest) rules.push_back(Number(name));
    return rules;
}

std::vector<ItemRule> EnemyRules() {
    return {{"name", kNameItem, 0, sizeof EnemyKind::name - 1},
            Number("kind number"),
            {"glyph", kGlyphItem, 0, sizeof EnemyKind::glyph - 1},
            Number("spare"), Number("target"), Number("max HP"), Number("attack"), Number("defense"),
            Number("magic attack"), Number("magic defense"), Number("speed"), Number("ability number")};
}

std::vector<ItemRule> AbilityRules() {
    return {{"name", kNameItem, 0, sizeof AbilityInfo::name - 1}, Number("spare"), Number("rate"), Number("power")};
}

// A value the game reads but cannot play with: "item N: what value: why (low to high)".
void CheckValue(ProblemList& problems, const char* path, int item, const char* what, long long value, long long low,
                long long high, const char* whyLow, const char* whyHigh = "") {
    if (value >= low && value <= high) return;
    ReportProblem(problems, path, item,
                  Format("%s %lld: %s (%lld to %lld)", what, value, value < low ? whyLow : whyHigh, low, high));
}

void CheckHeroValues(ProblemList& problems) {
    const char* path = kHeroStatusPath;
    CheckValue(problems, path, 2, "max HP", hero.maxHp, 1, kMaxHp, "the hero starts every battle fallen",
               "the HP count wraps below zero");
    CheckValue(problems, path, 4, "defense", hero.defense, 1, kMax16, "the enemies' damage divides by it");
    CheckValue(problems, path, 6, "magic defense", hero.magicDefense, 1, kMax16,
               "the enemies' damage divides by defense times magic defense");
    // An exp too wide for the reader is reported as such, not compared. At the
    // largest exp no next level exp can lie above it: the exp itself must come down.
    if (hero.exp == kMax32 && hero.nextLevelExp <= hero.exp) {
        ReportProblem(problems, path, 9,
                      Format("exp %u leaves no next level exp above it: the first victory raises the level (0 to "
                             "%lld)",
                             static_cast<unsigned>(hero.exp), kMax32 - 1));
    } else if (hero.exp < kMax32 && hero.nextLevelExp <= hero.exp) {
        ReportProblem(problems, path, 8,
                      Format("next level exp %u is not above exp %u: the first victory raises the level (%lld to %lld)",
                             static_cast<unsigned>(hero.nextLevelExp), static_cast<unsigned>(hero.exp),
                             static_cast<long long>(hero.exp) + 1, kMax32));
    }
    CheckValue(problems, path, 10, "level", hero.level, 1, kMax16, "levels count from 1");
}

// Only the four battle kinds fight; of the Queen and King the game uses the glyph.
void CheckEnemyValues(ProblemList& problems, int index) {
    const char* path = kEnemyKindPaths[index];
    const EnemyKind& kind = enemyKinds[index];
    CheckValue(problems, path, 2, "kind number", kind.kindNo, 1, 6, "the enemy banner shows no name",
               "the enemy banner shows no name");
    CheckValue(problems, path, 6, "max HP", kind.maxHp, 1, kMaxHp, "every instance has fallen before the battle",
               "the HP count wraps below zero");
    // A defense of at least 1 also keeps the six-statistic sum, which the
    // experience award divides by, above 0.
    CheckValue(problems, path, 8, "defense", kind.defense, 1, kMax16, "the hero's damage divides by it");
    CheckValue(problems, path, 10, "magic defense", kind.magicDefense, 1, kMax16,
               "the hero's damage divides by defense times magic defense");
    CheckValue(problems, path, 12, "ability number", kind.abilityNo, 0, kAbilityCount - 1, "",
               "there is no such ability");
}

void CheckAbilityValues(ProblemList& problems, int index) {
    const AbilityInfo& ability = abilities[index];
    if (ability.rate == 0 && ability.power == 0) {
        ReportProblem(problems, kAbilityPaths[index], 4,
                      "power 0 with rate 0: the ability does no damage beyond the swing (rate or power 1 or more)");
    }
}

}  // namespace

void FindRecordProblems(ProblemList& problems) {
    ClearRecords();
    if (CheckFileItems(problems, kHeroStatusPath, HeroRules()) >= 0 && LoadHeroStatus()) CheckHeroValues(problems);
    for (int i = 0; i < kEnemyKindCount; ++i) {
        if (CheckFileItems(problems, kEnemyKindPaths[i], EnemyRules()) < 0) continue;
        if (LoadEnemyKind(enemyKinds[i], kEnemyKindPaths[i]) && i <= kRook) CheckEnemyValues(problems, i);
    }
    for (int i = 0; i < kAbilityCount; ++i) {
        if (CheckFileItems(problems, kAbilityPaths[i], AbilityRules()) < 0) continue;
        if (LoadAbility(abilities[i], kAbilityPaths[i])) CheckAbilityValues(problems, i);
    }
}

void CheckDataTree(ProblemList& problems) {
    problems = ProblemList{};
    FindRecordProblems(problems);
    static MapSurvey survey;
    SurveyMap(survey, problems);
    if (survey.usable) WalkWorld(survey, problems);
}
