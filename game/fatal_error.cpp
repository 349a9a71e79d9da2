#include <cstdio>

#include "console/console.h"
#include "console/texts.h"
#include "game/game.h"
#include "game/text_reader.h"
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

// A line of the stop, on the console and again on the shell's screen after exit.
void StopLine(const char* text) {
    WriteLine(text);
    PlatformLeaveLine(text);
}

void FatalFileError() {
    StopLine(kTextFatalLine1);
    StopLine(kTextFatalLine2);
    StopLine(kTextFatalLine3);
    StopLine(kTextFatalLine4);
    if (*UnopenedFilePath() != '\0') PlatformLeavePath(kTextFileLabel, UnopenedFilePath());
    WaitAndExit();
}

void FatalDataError(const char* path, const char* what, const char* written, long long low, long long high) {
    char detail[256];
    std::snprintf(detail, sizeof detail, "%s: %s %s (allowed %lld to %lld)", path, what, written, low, high);
    StopLine(kTextDataErrorLine);
    StopLine(detail);
    StopLine(kTextFatalLine4);
    PlatformLeavePath(kTextFileLabel, path);
    WaitAndExit();
}
