#include "game/journey_choice.h"

#include "console/console.h"
#include "console/texts.h"
#include "game/game.h"

namespace {

constexpr int kTextColumn = 6;
constexpr int kTitleRow = 6;
constexpr int kFirstOptionRow = 10;  // the second one two rows below
constexpr int kLeft = -1;

// An option's line: the mark and the text bright when it is chosen.
void DrawOption(int index, const char* text, bool chosen) {
    SetCursor(kTextColumn, kFirstOptionRow + 2 * index);
    SetNormal();
    if (chosen) SetBright();
    WriteText("%s %s", chosen ? kTextChoiceMark : "  ", text);
    SetNormal();
}

// A question and its two options, the first chosen at first: the index of the
// option confirmed, or kLeft when the player steps back (where he may).
int Ask(const char* title, const char* note, const char* first, const char* second, const char* keyHelp,
        bool mayLeave) {
    ClearConsole();
    SetNormal();
    SetCursor(kTextColumn, kTitleRow);
    WriteText("%s", title);
    if (note) {
        SetCursor(kTextColumn, kTitleRow + 1);
        WriteText("%s", note);
    }
    const char* options[2] = {first, second};
    int chosen = 0;
    DrawOption(0, first, true);
    DrawOption(1, second, false);
    for (;;) {
        const int key = ReadMenuKey(keyHelp);
        const int next = key == KeyUp ? 0 : key == KeyDown ? 1 : chosen;
        if (next != chosen) {
            DrawOption(chosen, options[chosen], false);
            chosen = next;
            DrawOption(chosen, options[chosen], true);
        } else if (key == KeyEnter || key == KeyRight) {
            return chosen;
        } else if (mayLeave && (key == KeySpace || key == KeyLeft)) {
            return kLeft;
        }
    }
}

}  // namespace

bool AskToContinue() {
    bool continuing = true;
    for (;;) {
        if (Ask(kTextChoiceTitle, nullptr, kTextChoiceContinue, kTextChoiceNew, kTextHintChoice, false) == 0) break;
        // A new game sets the journey aside: asked once more, "no" first.
        if (Ask(kTextConfirmNewTitle, kTextConfirmNewNote, kTextConfirmNewNo, kTextConfirmNewYes, kTextHintConfirmNew,
                true) == 1) {
            continuing = false;
            break;
        }
    }
    ClearConsole();
    return continuing;
}
