#include "tools/record_checks.h"

#include <cstring>
#include <vector>

#include "records/records.h"
#include "tools/map_problems.h"

namespace {

constexpr long long kMax16 = 65535;
constexpr long long kMax32 = 2147483647;  // the largest number the game's reader keeps
constexpr long long kMaxHp = 32767;       // current HP counts are signed 16-bit
constexpr long long kMaxSpeed = 32767;    // the dodge test reads speeds as signed 16-bit
constexpr long long kBoostRoom = kMax16 - 15;  // three boosts of 5 on top

// Where the screens show the names, and how many bytes fit there: the ability
// list writes line k's name from a fixed column up to its closing "＞" at
// column 71; the enemy banner writes the name from a column set by the kind
// number up to the banner's right side, column 21 of the view.
constexpr int kAbilityNameColumns[kAbilityCount] = {62, 60, 59, 62, 60};
constexpr int kAbilityListRightMark = 71;
constexpr int kBannerRightSide = 21;


ItemRule Number(const ProblemText& name, long long low = 0, long long high = kMax16, const ProblemText& whyLow = {},
                const ProblemText& whyHigh = {}, long long fieldHigh = kMax16) {
    return {name, kNumberItem, low, high, 0, fieldHigh, whyLow, whyHigh, {}};
}

ItemRule Name(long long longest, const ProblemText& where) {
    return {{"名前", "name"}, kNameItem, 0, longest, 0, 0, {}, {}, where};
}

const ProblemText kNoBoostRoom = {"強化 3 つ（各 +5）で 65535 を超えて折り返します",
                                  "three boosts of 5 would wrap it past 65535"};
const ProblemText kNegativeSpeed = {"よけの判定で負の数として読まれます", "the dodge test reads it as a negative number"};
const ProblemText kHpWraps = {"HP の数が負に折り返します", "the HP count wraps below zero"};
const ProblemText kStopsAtStart = {"ゲームは始まるときに止まります", "the game stops at start"};

std::vector<ItemRule> HeroRules() {
    const ProblemText twoThirds = {"0 は 1 として割られ、敵の攻撃のたびに経験値の 2/3 が足されます",
                                   "it counts as 1, and two thirds of the hero's exp are added to every enemy hit"};
    std::vector<ItemRule> rules = {
        Name(sizeof hero.name - 1, {"主人公の名前", "the hero's name"}),
        Number({"最大HP", "max HP"}, 1, kMaxHp, {"主人公は毎回倒れた状態で戦闘を始めます", "the hero starts every battle fallen"},
               kHpWraps),
        Number({"攻撃力", "attack"}, 0, kBoostRoom, {}, kNoBoostRoom),
        Number({"防御力", "defense"}, 1, kBoostRoom, twoThirds, kNoBoostRoom),
        Number({"魔法攻撃力", "magic attack"}),
        Number({"魔法防御力", "magic defense"}, 1, kMax16, twoThirds),
        Number({"素早さ", "speed"}, 0, kMaxSpeed, {}, kNegativeSpeed),
        Number({"次のレベルの経験値", "next level exp"}, 0, kMax32, {}, {}, kMax32),
        Number({"経験値", "exp"}, 0, kMax32, {}, {}, kMax32),
        Number({"レベル", "level"}, 1, kMax16, {"レベルは 1 から数えます", "levels count from 1"}),
    };
    const ProblemText rest[] = {{"予備1", "spare 1"},
                                {"予備2", "spare 2"},
                                {"予備3", "spare 3"},
                                {"予備4", "spare 4"},
                                {"ポーション所持", "potion held"},
                                {"ポーションの数", "potion count"},
                                {"プロテイン所持", "protein held"},
                                {"プロテインの数", "protein count"},
                                {"バックラー所持", "buckler held"},
                                {"バックラーの数", "buckler count"}};
    for (const ProblemText& name : rest) rules.push_back(Number(name));
    rules.push_back(Number({"主人公の列", "hero column"}, 0, 58, kStopsAtStart, kStopsAtStart));
    rules.push_back(Number({"主人公の行", "hero row"}, 0, 19, kStopsAtStart, kStopsAtStart));
    return rules;
}

// Only the four battle kinds fight; of the Queen and King the game uses the glyph.
std::vector<ItemRule> EnemyRules(bool fights) {
    const ProblemText wholeExp = {"0 は 1 として割られ、主人公の攻撃のたびに経験値がまるごと足されます",
                                  "it counts as 1, and the hero's whole exp is added to every hit"};
    const ProblemText noName = {"敵の名前の枠に名前が出ません", "the enemy banner shows no name"};
    const ProblemText noAbility = {"その番号の技はありません", "there is no such ability"};
    const long long hpLow = fights ? 1 : 0, hpHigh = fights ? kMaxHp : kMax16, guardLow = fights ? 1 : 0;
    return {Name(sizeof EnemyKind::name - 1, {"敵の名前", "an enemy's name"}),
            Number({"種類番号", "kind number"}, fights ? 1 : 0, fights ? 6 : kMax16, noName, noName),
            {{"記号", "glyph"}, kGlyphItem, 0, 0, 0, 0, {}, {}, {}},
            Number({"予備", "spare"}),
            Number({"対象", "target"}),
            Number({"最大HP", "max HP"}, hpLow, hpHigh, {"戦闘の前から全員倒れています", "every instance has fallen before the battle"},
                   kHpWraps),
            Number({"攻撃力", "attack"}),
            Number({"防御力", "defense"}, guardLow, kMax16, wholeExp),
            Number({"魔法攻撃力", "magic attack"}),
            Number({"魔法防御力", "magic defense"}, guardLow, kMax16, wholeExp),
            Number({"素早さ", "speed"}, 0, fights ? kMaxSpeed : kMax16, {}, kNegativeSpeed),
            Number({"技番号", "ability number"}, 0, fights ? kAbilityCount - 1 : kMax16, {}, noAbility)};
}

std::vector<ItemRule> AbilityRules(int index) {
    const int line = index + 1;
    return {Name(AbilityNameLimit(index),
                 {Format("技の一覧の %d 行目", line), Format("line %d of the ability list", line)}),
            Number({"予備", "spare"}), Number({"倍率", "rate"}), Number({"威力", "power"})};
}

void CheckHeroValues(ProblemList& problems) {
    const char* path = kHeroStatusPath;
    // An exp too wide for the reader is reported as such, not compared. At the
    // largest exp no next level exp can lie above it: the exp itself must come down.
    if (hero.exp == kMax32 && hero.nextLevelExp <= hero.exp) {
        ReportItemProblem(problems, path, 9,
                          {Format("経験値 %u の上に次のレベルの経験値を置けません。最初の勝利でレベルが上がります"
                                  "（0〜%lld）",
                                  static_cast<unsigned>(hero.exp), kMax32 - 1),
                           Format("exp %u leaves no next level exp above it: the first victory raises the level (0 "
                                  "to %lld)",
                                  static_cast<unsigned>(hero.exp), kMax32 - 1)});
    } else if (hero.exp < kMax32 && hero.nextLevelExp <= hero.exp) {
        const long long low = static_cast<long long>(hero.exp) + 1;
        ReportItemProblem(
            problems, path, 8,
            {Format("次のレベルの経験値 %u が経験値 %u より大きくありません。最初の勝利でレベルが上がります"
                    "（%lld〜%lld）",
                    static_cast<unsigned>(hero.nextLevelExp), static_cast<unsigned>(hero.exp), low, kMax32),
             Format("next level exp %u is not above exp %u: the first victory raises the level (%lld to %lld)",
                    static_cast<unsigned>(hero.nextLevelExp), static_cast<unsigned>(hero.exp), low, kMax32)});
    }
}

// The name must fit the banner that shows it, which depends on the kind number.
void CheckEnemyName(ProblemList& problems, int index) {
    const EnemyKind& kind = enemyKinds[index];
    if (kind.kindNo < 1 || kind.kindNo > 6) return;  // no name shown: reported on the kind number
    const long long limit = BannerNameLimit(kind.kindNo);
    const long length = static_cast<long>(strnlen(kind.name, sizeof kind.name));
    if (length <= limit) return;
    ReportItemProblem(problems, kEnemyKindPaths[index], 1,
                      NameTooLong(length, limit,
                                  {Format("種類番号 %d の敵の名前の枠", kind.kindNo),
                                   Format("the enemy banner of kind number %d", kind.kindNo)}));
}

void CheckAbilityValues(ProblemList& problems, int index) {
    const AbilityInfo& ability = abilities[index];
    if (ability.rate == 0 && ability.power == 0) {
        ReportItemProblem(problems, kAbilityPaths[index], 4,
                          {"倍率も威力も 0 なので、ゆらぎの分しかダメージが出ません（どちらかを 1 以上に）",
                           "power 0 with rate 0: the ability does no damage beyond the swing (rate or power 1 or "
                           "more)"});
    }
}

}  // namespace

int AbilityNameLimit(int index) { return kAbilityListRightMark - kAbilityNameColumns[index]; }

int BannerNameLimit(int kindNo) { return kBannerRightSide - (kindNo == 3 ? 7 : kindNo == 5 ? 8 : 9); }

void FindRecordProblems(ProblemList& problems) {
    ClearRecords();
    if (CheckFileItems(problems, kHeroStatusPath, HeroRules()) >= 0 && LoadHeroStatus()) CheckHeroValues(problems);
    for (int i = 0; i < kEnemyKindCount; ++i) {
        const bool fights = i <= kRook;
        if (CheckFileItems(problems, kEnemyKindPaths[i], EnemyRules(fights)) < 0) continue;
        if (LoadEnemyKind(enemyKinds[i], kEnemyKindPaths[i]) && fights) CheckEnemyName(problems, i);
    }
    for (int i = 0; i < kAbilityCount; ++i) {
        if (CheckFileItems(problems, kAbilityPaths[i], AbilityRules(i)) < 0) continue;
        if (LoadAbility(abilities[i], kAbilityPaths[i])) CheckAbilityValues(problems, i);
    }
}

void CheckDataTree(ProblemList& problems) {
    std::string root = problems.root;
    problems = ProblemList{};
    problems.root = root;
    FindRecordProblems(problems);
    static MapSurvey survey;
    SurveyMap(survey, problems);
    if (survey.usable) WalkWorld(survey, problems);
}
