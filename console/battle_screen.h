// The fixed furniture of the battle screen and the hero's status panel: the four
// command boxes and their labels, the enemy view and message window frames, the
// level line, the HP panel with its bar and count-down, and the boost rows.
// Columns are relative to panelColumn (P, 1 at rest) or viewColumn (V, 25 at
// rest); rows are absolute.
#pragma once

constexpr int kCommandCount = 4;
// Longest HP bar and boost bar, in dashes.
constexpr int kBarWidth = 18;
// A boost that has just started shows a full bar, filled slowly.
constexpr int kBoostStartTurns = 11;

// The four command names in cursor order: fight, defend, item, flee.
extern const char* const commandLabels[kCommandCount];

// Dashes of the HP bar: hp * (18 / maxHp) in double precision, truncated; none
// for hp <= 0 or maxHp 0, never more than the bar's 18.
int HpBarLength(int hp, int maxHp);
// Dashes of a boost bar with turns left: 18 for a boost just started, otherwise
// turns * 1.8 truncated, kept within 0..18.
int BoostBarLength(int turns);

// Command box n (1 to 4) in the current attribute, or blanks over it. Any other
// n draws nothing.
void DrawCommandBox(int n);
void EraseCommandBox(int n);
// The opening slide of the four boxes from the right; box 1 ends bright, the
// others normal, and panelColumn is back at rest.
void SlideInCommandBoxes();
// The four command labels, 100 ms apart.
void DrawCommandLabels();
void DrawEnemyViewFrame();
void DrawMessageFrame();
// Pieces of the 54-column frames at viewColumn (the message window, the
// level-up window): 26 full-width marks along a row from V + 1, and the "|"
// sides at V and V + 53 on rows fromRow to toRow.
void DrawFrameMarks(int row, const char* mark);
void DrawFrameSides(int fromRow, int toRow);
// "Lv : n" with the hero's level.
void DrawLevelLine();
// The panel's separators, the HP bar growing 30 ms a dash, and the HP line.
void DrawHpPanel();
// The HP bar alone, at once.
void RedrawHpBar();
// Lowers the hero's HP by up to n, a point every 20 ms, with the number and the
// bar following; stops at 0.
void CountDownHp(int n);
// The "+" of the three boost rows.
void DrawBoostSeparators();
// The bar of boost row 0 to 2 for a boost with turns left; 11 fills it slowly.
void DrawBoostBar(int turns, int row);
