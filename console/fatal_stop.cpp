#include "console/fatal_stop.h"

#include <cstdio>

#include "console/console.h"
#include "console/texts.h"
#include "platform/program.h"
#include "records/text_reader.h"

namespace {

constexpr long long kStopSeconds = 30;
constexpr int kStopStatus = -1;
// The pause between readings of the clock in the last second of the wait.
#ifdef CHESSRPG_SPIN_WAITS
constexpr unsigned kReadingPauseMs = 0;  // spins: lets the benchmark show what the pauses save
#else
constexpr unsigned kReadingPauseMs = 100;
#endif

// Thirty seconds by the wall clock in whole seconds, whatever keys are
// pressed, then the end. The clock can only have reached the end in the last
// whole second, so the wait sleeps through the rest in one pause and reads
// the clock often only then.
[[noreturn]] void WaitAndExit() {
    long long start = WallClockSeconds();
    for (long long passed = 0; passed < kStopSeconds; passed = WallClockSeconds() - start) {
        long long surelyLeft = kStopSeconds - 1 - passed;
        Sleep(surelyLeft > 0 && kReadingPauseMs > 0 ? static_cast<unsigned>(surelyLeft * 1000) : kReadingPauseMs);
    }
    PlatformExit(kStopStatus);
}

// The stop begins: the key help goes, so that its lines show wherever the
// cursor stands, and Ctrl+C from now on ends the program as the stop does,
// with its status and without saving the screen that could not be read.
void BeginStop() {
    ShowKeyHint("");
    PlatformOnQuit(nullptr, kStopStatus);
}

// A line of the stop, on the console and again on the shell's screen after exit.
void StopLine(const char* text) {
    WriteLine(text);
    PlatformLeaveLine(text);
}

}  // namespace

void FatalFileError() {
    BeginStop();
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
    BeginStop();
    StopLine(kTextDataErrorLine);
    StopLine(detail);
    StopLine(kTextFatalLine4);
    PlatformLeavePath(kTextFileLabel, path);
    WaitAndExit();
}
