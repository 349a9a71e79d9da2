#include "battle/fight_command.h"

#include "battle/ability_command.h"
#include "battle/battle_state.h"
#include "battle/menu_window.h"
#include "console/console.h"
#include "console/enemy_view.h"
#include "console/texts.h"

namespace {

// Where the up and down arrows lead, by group size and instance (0: nowhere).
constexpr int kAbove[kMaxGroupSize + 1][kMaxGroupSize + 1] = {
    {}, {}, {},
    {0, 0, 0, 1},
    {0, 0, 0, 1, 2},
    {0, 0, 0, 1, 3, 3},
    {0, 0, 0, 0, 1, 2, 3},
    {0, 0, 0, 0, 0, 1, 2, 3},
};
constexpr int kBelow[kMaxGroupSize + 1][kMaxGroupSize + 1] = {
    {}, {}, {},
    {0, 3, 3},
    {0, 3, 4},
    {0, 3, 3, 5},
    {0, 4, 5, 6},
    {0, 5, 6, 7},
};

int GroupSize() { return battleState.enemiesLeft + battleState.defeatedCount; }

bool Stands(int instance) {
    return instance >= 1 && instance <= kInstanceSlots && battleState.defeated[instance] == 0;
}

int LowestStanding(int from, int to) {
    for (int k = from; k <= to; ++k) {
        if (Stands(k)) return k;
    }
    return 0;
}

void WriteTargetGlyph(const EnemyKind& kind, int total) {
    InstancePlace place;
    if (!InstancePosition(total, kind.target, place)) return;
    SetCursor(viewColumn + place.column, place.row);
    WriteText("%.*s", static_cast<int>(sizeof kind.glyph), kind.glyph);
}

int Lookup(const int (&table)[kMaxGroupSize + 1][kMaxGroupSize + 1], int total, int from) {
    if (total < 1 || total > kMaxGroupSize || from < 1 || from > kMaxGroupSize) return 0;
    return table[total][from];
}

// Moves the cursor to instance `to` when it stands.
bool MoveTargetTo(EnemyKind& kind, int to) {
    if (to == 0 || !Stands(to)) return false;
    DrawTargetPlain(kind, GroupSize());
    kind.target = static_cast<uint16_t>(to);
    return true;
}

// The next standing instance from the cursor in a direction along the numbers.
int NextStandingAlong(int from, int step, int total) {
    for (int k = from + step; k >= 1 && k <= total; k += step) {
        if (Stands(k)) return k;
    }
    return 0;
}

void ShowTarget(EnemyKind& kind) {
    SlideKindBanner(kind);
    DrawTargetHighlighted(kind, GroupSize());
}

int LeaveTargetChoice(EnemyKind& kind) {
    DrawTargetPlain(kind, GroupSize());
    kind.target = 1;
    EraseSelectionBanner();
    EraseBanner();
    return kOutcomeNone;
}

}  // namespace

int InstanceAbove(int total, int from) { return Lookup(kAbove, total, from); }
int InstanceBelow(int total, int from) { return Lookup(kBelow, total, from); }

void DrawTargetHighlighted(const EnemyKind& kind, int total) {
    SetBright();
    WriteTargetGlyph(kind, total);
    SetNormal();
}

void DrawTargetPlain(const EnemyKind& kind, int total) {
    SetNormal();
    WriteTargetGlyph(kind, total);
}

bool MoveTargetUp(EnemyKind& kind) { return MoveTargetTo(kind, InstanceAbove(GroupSize(), kind.target)); }

bool MoveTargetDown(EnemyKind& kind) { return MoveTargetTo(kind, InstanceBelow(GroupSize(), kind.target)); }

int FightCommand(EnemyKind& kind) {
    SetNormal();
    SlideSelectionBanner();
    SlideKindBanner(kind);
    int total = GroupSize();
    if (!Stands(kind.target)) {
        int standing = LowestStanding(kind.target + 1, total);
        if (standing != 0) kind.target = static_cast<uint16_t>(standing);
        ShowTarget(kind);
    } else {
        DrawTargetHighlighted(kind, total);
    }
    for (;;) {
        switch (ReadMenuKey(kTextHintTargets)) {
        case KeyUp:
            if (MoveTargetUp(kind)) ShowTarget(kind);
            break;
        case KeyDown:
            if (MoveTargetDown(kind)) ShowTarget(kind);
            break;
        case KeyLeft:
            if (MoveTargetTo(kind, NextStandingAlong(kind.target, -1, total))) ShowTarget(kind);
            break;
        case KeyRight:
            if (MoveTargetTo(kind, NextStandingAlong(kind.target, +1, total))) ShowTarget(kind);
            break;
        case KeySpace:
            return LeaveTargetChoice(kind);
        case KeyEnter:
            switch (AbilityCommand(kind)) {
            case kOutcomeNone:
                return LeaveTargetChoice(kind);
            case kOutcomeFell: {
                for (int k = 0; k <= kMenuLines; ++k) EraseMenuLine(k);
                int standing = LowestStanding(1, total);
                kind.target = static_cast<uint16_t>(standing != 0 ? standing : 1);
                EraseSelectionBanner();
                EraseBanner();
                return kOutcomeNone;
            }
            case kOutcomeWon:
                return kOutcomeWon;
            case kOutcomeHeroFell:
                return kOutcomeHeroFell;
            default:  // back from the ability list: the choice goes on
                break;
            }
            break;
        default:
            break;
        }
    }
}
