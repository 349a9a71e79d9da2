// A program run in a pseudo-terminal of its own, with this process acting as
// the terminal: what the program writes is read as it comes (poll on the
// master side), time-stamped with the monotonic clock and fed to a screen
// model, and a cursor position request is answered at once, as a terminal
// answers it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tools/bench/screen_model.h"

using BenchClock = std::chrono::steady_clock;

struct PtySession {
    pid_t pid = -1;
    int master = -1;
    ScreenModel screen;
    long long bytesRead = 0;
    bool closed = false;                // the program's side of the terminal is closed
    BenchClock::time_point lastRead{};  // when the latest output was read
    int replies = 0;                    // answers sent (cursor position reports)
    BenchClock::time_point lastReply{}; // when the latest was sent
};

// Starts `arguments` (the program's path first) in a new pseudo-terminal of
// the given size, with `folder` as its working directory. False when the
// terminal could not be made (the program itself may still fail to start:
// it then writes nothing and ends).
bool StartInPty(PtySession& session, const std::vector<std::string>& arguments, const std::string& folder,
                int columns, int rows);

// Reads and models the program's output until `until`, or until it closes
// its side.
void PumpUntil(PtySession& session, BenchClock::time_point until);

// Reads and models output until `done` holds, up to `deadline`. Returns true
// and the time of the read after which it held; false on the deadline or when
// the program closed its side first.
bool WaitForScreen(PtySession& session, const std::function<bool(const PtySession&)>& done,
                   BenchClock::time_point deadline, BenchClock::time_point& when);

// Writes bytes as typed keys.
bool SendKeys(PtySession& session, const std::string& bytes);

// Ends the program (SIGTERM, then SIGKILL if it lingers), reaps it and closes
// the terminal. Returns its wait status, or -1 when there was no program.
int StopInPty(PtySession& session);

// Milliseconds between two points of the clock, as a fraction.
inline double Milliseconds(BenchClock::time_point from, BenchClock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}
