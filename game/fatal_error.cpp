#include "console/console.h"
#include "console/texts.h"
#include "game/game.h"
#include "platform/platform.h"

namespace {

// Thirty seconds by the wall clock, whatever keys are pressed, then the end.
// The wait sleeps between readings instead of spinning on the clock.
[[noreturn]] void WaitAndExit() {
    long long start = PlatformSeconds();
    while (PlatformSeconds() - start < 30) Sleep(100);
    PlatformExit(-1);
}

}  // namespace

void FatalFileError() {
    WriteLine(kTextFatalLine1);
    WriteLine(kTextFatalLine2);
    WriteLine(kTextFatalLine3);
    WriteLine(kTextFatalLine4);
    WaitAndExit();
}

void FatalDataError(const char* path, const char* what, long long value, long long low, long long high) {
    WriteLine(kTextDataErrorLine);
    WriteText("%s: %s %lld (allowed %lld to %lld)", path, what, value, low, high);
    WriteLine("");
    WriteLine(kTextFatalLine4);
    WaitAndExit();
}
