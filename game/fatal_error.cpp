#include "console/console.h"
#include "console/texts.h"
#include "game/game.h"
#include "platform/platform.h"

namespace {

// The pause between readings of the clock, which keeps the wait from spinning.
#ifdef CHESSRPG_SPIN_WAITS
constexpr unsigned kReadingPauseMs = 0;  // spins: lets the benchmark show what the pause saves
#else
constexpr unsigned kReadingPauseMs = 100;
#endif

// Thirty seconds by the wall clock, whatever keys are pressed, then the end.
// Each pause also shows what was written.
[[noreturn]] void WaitAndExit() {
    long long start = PlatformSeconds();
    while (PlatformSeconds() - start < 30) Sleep(kReadingPauseMs);
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
