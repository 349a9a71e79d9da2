// The enemy view on the right of the battle screen: the enemy group in its
// arrangement for one to seven instances, the erasing of a fallen instance, the
// sliding banners under the view, and the frame of the level-up window. Columns
// are relative to viewColumn (V, 25 at rest); rows are absolute.
#pragma once

#include "records/records.h"

constexpr int kMaxGroupSize = 7;

// Where an instance's glyph stands: column relative to viewColumn, absolute row.
struct InstancePlace {
    int column;
    int row;
};

// The place of instance (1-based) in a group of groupSize; false, leaving place
// untouched, when the group size is outside 1..7 or the instance outside the group.
bool InstancePosition(int groupSize, int instance, InstancePlace& place);

// The whole group of the battle (its enemies left plus those defeated), each as
// the kind's glyph; a group size outside 1..7 draws nothing.
void DrawEnemyGroup(const EnemyKind& kind, int groupSize);
// Blanks the glyph of the kind's target instance in a group of groupSize.
void EraseEnemyInstance(const EnemyKind& kind, int groupSize);

// One name banner (rows 8 to 10) with its text, at the current viewColumn.
void DrawKindBanner(const EnemyKind& kind);
void DrawAttackBanner();
void DrawHeroBanner(const HeroStatus& status);
void EraseBanner();

// The name banners slide in from nine columns to the right, 1 ms a frame.
void SlideKindBanner(const EnemyKind& kind);
void SlideAttackBanner();
void SlideHeroBanner(const HeroStatus& status);

// The target-choice banner on row 7, sliding in from the right to V - 1.
void SlideSelectionBanner();
void EraseSelectionBanner();

// The level-up window over the enemy view: its background, then its frame with
// the hero's name in the title.
void ClearViewArea();
void DrawLevelUpFrame(const HeroStatus& status);
