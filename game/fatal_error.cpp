#include "console/console.h"
#include "console/texts.h"
#include "game/game.h"
#include "platform/platform.h"

void FatalFileError() {
    WriteLine(kTextFatalLine1);
    WriteLine(kTextFatalLine2);
    WriteLine(kTextFatalLine3);
    WriteLine(kTextFatalLine4);
    // Thirty seconds by the wall clock, whatever keys are pressed. The wait
    // sleeps between readings instead of spinning on the clock.
    long long start = PlatformSeconds();
    while (PlatformSeconds() - start < 30) Sleep(100);
    PlatformExit(-1);
}
