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

void EraseMenuWindow() {
    for (int k = 1; k <= kMenuLines; ++k) EraseMenuLine(k);
    EraseMenuTitle();
}

void SlideInMenuLine(int k, bool bright, void (*drawText)(int k)) {
    menuTop = static_cast<int16_t>(-2 * k);
    const int steps = 2 * k + 1;
    for (int step = 1; step <= steps; ++step) {
        if (bright) SetBright();
        DrawMenuMarks(k);
        if (bright) SetNormal();
        drawText(k);
        Sleep(1);
        if (step == steps) break;
        EraseMenuLine(k);
        menuTop = static_cast<int16_t>(menuTop + 1);
    }
}
