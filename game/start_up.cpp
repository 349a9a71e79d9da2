#include "game/game.h"
#include "game/records.h"

// A missing hero, enemy or ability file would leave zero-filled records that the
// battle formulas divide by; it stops the game like a missing map file.
void StartGame() {
    if (!LoadHeroStatus()) FatalFileError();
    if (!LoadEnemyKinds()) FatalFileError();
    if (!LoadAbilities()) FatalFileError();
}
