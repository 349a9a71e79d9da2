// The item window at the right of the battle screen: potion, protein and
// buckler with the count of the one under the cursor; using one is the hero's
// action, and the enemies answer it while the window stays open.
#pragma once

#include "records/records.h"

constexpr int kItemNameColumn = 59;
constexpr int kItemTimesColumn = 62;  // "×" on line 5
constexpr int kItemCountColumn = 65;
constexpr int kItemCountWidth = 5;    // the widest count, 65535
constexpr int kPotionHeal = 20;       // most HP one potion restores

// The window slides in line by line, 1 ms a step; line 1's marks bright.
void OpenItemWindow();
// The name of item k (1 potion, 2 protein, 3 buckler) on line k.
void DrawItemName(int k);
// The count of item k on line 5, in the current attribute, blanked to its
// field's width so that a shorter count leaves no digit behind.
void DrawItemCount(int k);
void DrawItemTitle();

// Applies one item k (1 potion, 2 protein, 3 buckler) with its message.
void UseItem(int k);

// Runs the window until the player closes it (kOutcomeNone) or the hero falls
// during the enemies' turn (kOutcomeHeroFell).
int ItemCommand(EnemyKind& kind);
