#include "battle/menu_window.h"

#include "battle/battle_state.h"
#include "console/console.h"
#include "console/texts.h"

int MenuLineRow(int k) { return menuTop + 2 * k; }

void DrawMenuMarks(int k) {
    SetCursor(kMenuLeftMark, MenuLineRow(k));
    WriteText("%s", kTextMenuMarkLeft);
    SetCursor(kMenuRightMark, MenuLineRow(k));
    WriteText("%s", kTextMenuMarkRight);
}

void EraseMenuLine(int k) {
    SetCursor(kMenuColumn, MenuLineRow(k));
    WriteText("%*s", kMenuWidth, "");
}

void EraseMenuTitle() {
    SetCursor(kMenuColumn, kMenuTitleRow);
    WriteText("%*s", kMenuWidth, "");
}
