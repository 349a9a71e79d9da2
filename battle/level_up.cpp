#include "battle/level_up.h"

#include <cstdio>

#include "battle/battle_state.h"
#include "console/console.h"
#include "console/texts.h"
#include "records/records.h"

namespace {

const char* const kLabels[] = {
    kTextLabelLevel,       kTextLabelMaxHp,        kTextLabelAttack, kTextLabelDefense,
    kTextLabelMagicAttack, kTextLabelMagicDefense, kTextLabelSpeed,  kTextLabelExp,
};

constexpr int kFirstRow = 2;
constexpr int kExpRow = 9;
constexpr int kPlusOffset = 29;    // "+" at V + 29, the gain's digits from V + 30
constexpr int kSlideStart = 50;    // a gain enters at V + 50
constexpr int kValueOffset = 38;   // ":     value" from V + 38
constexpr int kValueBlanks = 9;    // covers ":     " and three digits

// Writes text at a column of a row and returns how many columns it took.
int WriteAt(int x, int row, const char* text) {
    SetCursor(x, row);
    WriteText("%s", text);
    int width = 0;
    while (text[width] != '\0') ++width;
    return width;
}

void WriteBlanks(int x, int row, int count) {
    SetCursor(x, row);
    WriteText("%*s", count, "");
}

}  // namespace

void SlideGain(uint16_t newValue, uint16_t oldValue) {
    int row = consoleCursor.Y;
    WriteText("+");
    int gain = static_cast<int16_t>(static_cast<uint16_t>(newValue - oldValue));
    for (int g = 0; g <= gain; ++g) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%d", g);
        for (int x = viewColumn + kSlideStart; x >= viewColumn + kPlusOffset + 1; --x) {
            int width = WriteAt(x, row, digits);
            Sleep(1);
            // Two blanks erase one- and two-digit numbers; a longer one is
            // erased whole so that no digit stays behind.
            if (x != viewColumn + kPlusOffset + 1) WriteBlanks(x, row, width > 2 ? width : 2);
        }
    }
}

void RiseValue(uint32_t value, int startRow, int targetRow) {
    char text[24];
    std::snprintf(text, sizeof text, ":     %lu", static_cast<unsigned long>(value));
    for (int row = startRow; row >= targetRow; --row) {
        int width = WriteAt(viewColumn + kValueOffset, row, text);
        Sleep(5);
        if (row != targetRow) WriteBlanks(viewColumn + kValueOffset, row, width > kValueBlanks ? width : kValueBlanks);
    }
}

void DrawLevelUpGains() {
    ShowKeyHint(kTextHintLevelUp);
    for (int i = 0; i < 8; ++i) {
        WriteAt(viewColumn + 2, kFirstRow + i, kLabels[i]);
        Sleep(50);
    }
    const uint16_t newValues[] = {hero.level,       hero.maxHp,        hero.attack, hero.defense,
                                  hero.magicAttack, hero.magicDefense, hero.speed};
    const HeroStatus& old = levelUpSnapshot;
    const uint16_t oldValues[] = {old.level,       old.maxHp,        old.attack, old.defense,
                                  old.magicAttack, old.magicDefense, old.speed};
    for (int i = 0; i < 7; ++i) {
        SetCursor(viewColumn + kPlusOffset, kFirstRow + i);
        SlideGain(newValues[i], oldValues[i]);
    }
    WriteAt(viewColumn + kPlusOffset, kExpRow, "+");
    // The experience counts up from 0, a millisecond a number, until it is
    // reached or a key (read and consumed) completes it at once.
    const uint64_t gained = expGained;
    for (uint64_t i = 0; i <= gained; ++i) {
        SetCursor(viewColumn + kPlusOffset + 1, kExpRow);
        WriteText("%llu", static_cast<unsigned long long>(i));
        Sleep(1);
        if (KeyWaiting()) {
            ReadKey();
            SetCursor(viewColumn + kPlusOffset + 1, kExpRow);
            WriteText("%llu", static_cast<unsigned long long>(gained));
            return;
        }
    }
}

void DrawLevelUpValues() {
    const uint32_t values[] = {hero.level,        hero.maxHp,        hero.attack, hero.defense, hero.magicAttack,
                               hero.magicDefense, hero.speed};
    for (int i = 0; i < 7; ++i) RiseValue(values[i], kExpRow, kFirstRow + i);
    RiseValue(hero.exp, kExpRow, kExpRow);
}
