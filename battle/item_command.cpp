#include "battle/item_command.h"

#include "battle/battle_state.h"
#include "battle/boosts.h"
#include "battle/enemy_turn.h"
#include "battle/menu_window.h"
#include "console/battle_screen.h"
#include "console/console.h"
#include "console/enemy_view.h"
#include "console/message_log.h"
#include "console/texts.h"

namespace {

constexpr int kItemKinds = 3;
constexpr int kCountLine = 5;
constexpr int kHpNumberRow = 14;
constexpr char kTextItemTitle[] = "________Item________";

const char* const itemNames[kItemKinds] = {kTextPotion, kTextProtein, kTextBuckler};

void MoveItemCursor(int step) {
    SetNormal();
    DrawMenuMarks(battleState.itemCursor + 1);
    battleState.itemCursor = static_cast<int16_t>(battleState.itemCursor + step);
    SetBright();
    DrawMenuMarks(battleState.itemCursor + 1);
    DrawItemCount(battleState.itemCursor + 1);
    SetNormal();
}

void Heal() {
    int before = hero.hp;
    for (int i = 0; i < kPotionHeal && hero.hp + 1 <= hero.maxHp; ++i) {
        hero.hp = static_cast<int16_t>(hero.hp + 1);
        SetNormal();
        SetCursor(panelColumn + 11, kHpNumberRow);
        WriteText("%d", static_cast<int>(hero.hp));
        RedrawHpBar();
        Sleep(20);
    }
    ShowMessage(InsertNumber(InsertName(kTextHpRestored, hero.name), hero.hp - before));
}

// A boost item: its bar fills slowly on the marker row the boost took.
void Boost(void (*start)(), const BoostSlot* slots, const char* message) {
    activeBoostCount = static_cast<uint16_t>(activeBoostCount + 1);
    start();
    for (int i = 0; i < kBoostSlots; ++i) {
        if (slots[i].turnsLeft == kBoostTurns) {
            DrawBoostBar(kBoostTurns, slots[i].row);
            break;
        }
    }
    ShowMessage(InsertName(message, hero.name));
}

// Whether the item under the cursor may be used now; if not, says why.
bool ItemAccepted(int index) {
    if (hero.items[index].count == 0) {
        ShowMessage(kTextNoSuchItem);
        return false;
    }
    // At most three boosts are in force, since they share the three marker rows.
    bool room = index == kPotion || (activeBoostCount < kBoostSlots &&
                                     (index == kProtein ? AttackBoostRoom() : DefenseBoostRoom()));
    if (!room) {
        ShowMessage(kTextThreeItemsAtOnce);
        return false;
    }
    return true;
}

// The item used, then the enemies' turn, with the new count shown before they act.
int UseItemAndAnswer(EnemyKind& kind) {
    int line = battleState.itemCursor + 1;
    UseItem(line);
    battleState.turnCount = static_cast<int16_t>(battleState.turnCount + 1);
    TickBoosts();
    SetBright();
    DrawItemCount(line);
    SetNormal();
    if (EnemiesAttack(kind) == kOutcomeHeroFell) return kOutcomeHeroFell;
    TickBoosts();
    return kOutcomeNone;
}

void CloseItemWindow() {
    EraseMenuWindow();
    EraseSelectionBanner();
    EraseBanner();
    battleState.itemCursor = 0;
}

}  // namespace

void DrawItemName(int k) {
    if (k < 1 || k > kItemKinds) return;
    SetCursor(kItemNameColumn, MenuLineRow(k));
    WriteText("%s", itemNames[k - 1]);
}

void DrawItemCount(int k) {
    if (k < 1 || k > kItemKinds) return;
    SetCursor(kItemCountColumn, MenuLineRow(kCountLine));
    WriteText("%-*u", kItemCountWidth, static_cast<unsigned>(hero.items[k - 1].count));
}

void DrawItemTitle() {
    SetCursor(kMenuColumn, kMenuTitleRow);
    WriteText("%s", kTextItemTitle);
}

void OpenItemWindow() {
    SetNormal();
    SlideInMenuLine(3, false, DrawItemName);
    SlideInMenuLine(2, false, DrawItemName);
    SlideInMenuLine(1, true, DrawItemName);  // the cursor starts on the potion
    menuTop = 0;
    DrawItemTitle();
}

void UseItem(int k) {
    if (k < 1 || k > kItemKinds) return;
    ClearMessageLog();
    battleState.itemUseCount = static_cast<int16_t>(battleState.itemUseCount + 1);
    ItemStock& stock = hero.items[k - 1];
    if (stock.count > 0) stock.count -= 1;
    switch (k - 1) {
    case kPotion:
        Heal();
        break;
    case kProtein:
        Boost(StartAttackBoost, attackBoosts, kTextAttackUp);
        break;
    case kBuckler:
        Boost(StartDefenseBoost, defenseBoosts, kTextDefenseUp);
        break;
    }
}

int ItemCommand(EnemyKind& kind) {
    battleState.itemCursor = 0;
    OpenItemWindow();
    DrawMenuMarks(kCountLine);
    SetCursor(kItemTimesColumn, MenuLineRow(kCountLine));
    WriteText("%s", kTextTimes);
    SetBright();
    DrawItemCount(1);
    SetNormal();
    for (;;) {
        switch (ReadMenuKey(kTextHintItems)) {
        case KeyUp:
            if (battleState.itemCursor > 0) MoveItemCursor(-1);
            break;
        case KeyDown:
            if (battleState.itemCursor < kItemKinds - 1) MoveItemCursor(+1);
            break;
        case KeyEnter:
        case KeyRight:
            if (!ItemAccepted(battleState.itemCursor)) break;
            if (UseItemAndAnswer(kind) == kOutcomeHeroFell) return kOutcomeHeroFell;
            break;
        case KeySpace:
        case KeyLeft:
            CloseItemWindow();
            return kOutcomeNone;
        default:
            break;
        }
    }
}
