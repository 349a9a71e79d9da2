#include "tools/world_stats.h"

#include <cstring>

#include "battle/ability_command.h"
#include "platform/sjis_utf8.h"
#include "records/records.h"
#include "tools/data_problems.h"
#include "tools/tool_command.h"

namespace {

// A record's name field as Shift-JIS, up to its zero.
std::string Field(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

// Shift-JIS text filled with blanks to `width` columns (a byte is a column).
std::string Padded(const std::string& sjis, std::size_t width) {
    return sjis.size() >= width ? sjis + " " : sjis + std::string(width - sjis.size(), ' ');
}

// The level from which the hero's ability list holds ability `index`.
int LevelOfAbility(int index) {
    for (int level = 1; level <= 65535; ++level)
        if (AbilitiesListed(level) > index) return level;
    return 0;
}

// One kind's experience for each of its kind felled: S + (a draw below S) + S/6,
// S the sum of its six statistics.
std::string ExpRange(const EnemyKind& kind) {
    unsigned long sum = static_cast<unsigned long>(kind.maxHp) + kind.attack + kind.defense + kind.magicAttack +
                        kind.magicDefense + kind.speed;
    if (sum == 0) return "0";
    return Format("%lu-%lu", sum + sum / 6, 2 * sum - 1 + sum / 6);
}

}  // namespace

std::string StatsText(bool english) {
    auto label = [english](const char* ja, const char* en) { return english ? std::string(en) : Utf8ToSjis(ja); };
    std::string text = label("主人公 ", "hero ") + Field(hero.name, sizeof hero.name) +
                       Format("   %s %u   %s %u / %u\n", label("レベル", "level").c_str(), hero.level,
                              label("経験値", "exp").c_str(), static_cast<unsigned>(hero.exp),
                              static_cast<unsigned>(hero.nextLevelExp));
    text += Format("  %s %u  %s %u  %s %u  %s %u  %s %u  %s %u\n", label("最大HP", "max HP").c_str(), hero.maxHp,
                   label("攻撃力", "attack").c_str(), hero.attack, label("防御力", "defense").c_str(), hero.defense,
                   label("魔法攻撃力", "magic attack").c_str(), hero.magicAttack,
                   label("魔法防御力", "magic defense").c_str(), hero.magicDefense,
                   label("素早さ", "speed").c_str(), hero.speed);
    text += Format("  %s %u  %s %u  %s %u  %s %u, %u, %u\n\n", label("ポーション", "potions").c_str(),
                   hero.items[kPotion].count, label("プロテイン", "proteins").c_str(), hero.items[kProtein].count,
                   label("バックラー", "bucklers").c_str(), hero.items[kBuckler].count,
                   label("スタート（画面、列、行）", "start (screen, column, row)").c_str(), hero.screenNo,
                   hero.fieldX, hero.fieldY);

    text += label("   敵の種類      記号   HP  攻撃 防御 魔攻 魔防 速さ 技          経験値/体\n",
                  "   enemy kind    glyph  HP  atk  def  matk mdef spd  ability     exp each\n");
    for (int i = 0; i < kEnemyKindCount; ++i) {
        const EnemyKind& kind = enemyKinds[i];
        std::string ability =
            kind.abilityNo < kAbilityCount ? Field(abilities[kind.abilityNo].name, sizeof abilities[0].name) : "?";
        text += Format("%2u ", kind.kindNo) + Padded(Field(kind.name, sizeof kind.name), 14) +
                Padded(Field(kind.glyph, sizeof kind.glyph), 4) +
                Format("%5u %4u %4u %4u %4u %4u ", kind.maxHp, kind.attack, kind.defense, kind.magicAttack,
                       kind.magicDefense, kind.speed) +
                (i <= kRook ? Padded(ability, 12) + ExpRange(kind) : ability) + "\n";
    }
    text += label("クイーンとキングは戦いません。ゲームが使うのは記号だけです。\n",
                  "The Queen and the King do not fight: the game uses their glyphs only.\n");
    text += "\n" + label("技                    倍率 威力 レベル\n", "ability              rate power from level\n");
    for (int i = 0; i < kAbilityCount; ++i) {
        const AbilityInfo& ability = abilities[i];
        text += Padded(Field(ability.name, sizeof ability.name), 20) +
                Format("%5u %5u %5d\n", ability.rate, ability.power, LevelOfAbility(i));
    }
    return SjisToUtf8(text);
}
