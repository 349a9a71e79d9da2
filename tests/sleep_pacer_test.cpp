#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sleep_pacer.h"

namespace {

// Frames as a backend sleeps them: each takes `drawUs` to draw, and the
// system wakes `lateUs` after the deadline. Returns when the last sleep ended;
// `mostBehindUs` gets the furthest a deadline lay behind the moment it was set.
long long SleepFrames(SleepPacer& pacer, long long nowUs, int frames, unsigned milliseconds, long long drawUs,
                      long long lateUs, long long* mostBehindUs = nullptr) {
    for (int i = 0; i < frames; ++i) {
        nowUs += drawUs;
        long long deadline = SleepDeadline(pacer, nowUs, milliseconds);
        if (mostBehindUs) *mostBehindUs = std::max(*mostBehindUs, nowUs - deadline);
        nowUs = std::max(nowUs, deadline) + lateUs;
        SleepEnded(pacer, deadline, nowUs);
    }
    return nowUs;
}

// A hundred 1 ms frames last 100 ms, though each takes 0.15 ms to draw and
// each wake-up is 0.09 ms late: only the first draw and the last wake-up show.
TEST(SleepPacerTest, FramesKeepToOneRunningDeadline) {
    SleepPacer pacer;
    EXPECT_EQ(SleepFrames(pacer, 1000000, 100, 1, 150, 90), 1000000 + 150 + 100 * 1000 + 90);
    // Typed bytes of 50 ms: the same.
    EXPECT_EQ(SleepFrames(pacer, 5000000, 20, 50, 300, 200), 5000000 + 300 + 20 * 50000 + 200);
}

// After a wait for a key the next sleep is timed from now, not from a
// deadline long past.
TEST(SleepPacerTest, ASleepAfterAWaitStartsFromNow) {
    SleepPacer pacer;
    long long end = SleepFrames(pacer, 0, 5, 30, 100, 100);
    long long afterKeyWait = end + 2000000;
    EXPECT_EQ(SleepDeadline(pacer, afterKeyWait, 50), afterKeyWait + 50000);
    EXPECT_EQ(SleepDeadline(pacer, end + kFrameFollowsUs + 1, 50), end + kFrameFollowsUs + 1 + 50000);
}

// Frames that take longer to draw than their pause fall behind; the pacer
// lets them run without pause but never more than a bound behind, so a slow
// stretch is not followed by a rush of frames.
TEST(SleepPacerTest, FramesThatCannotKeepUpFallBehindOnlySoFar) {
    SleepPacer pacer;
    long long mostBehind = 0;
    long long end = SleepFrames(pacer, 0, 200, 1, 2000, 0, &mostBehind);
    EXPECT_LE(mostBehind, kMostBehindUs);
    EXPECT_GE(end, 200 * 2000);
    // Once drawing is quick again, frames are a pause apart at most a bound sooner.
    long long next = SleepFrames(pacer, end, 1, 1, 100, 0);
    EXPECT_GE(next - end, 100);
    EXPECT_LE(end + 100 + 1000 - next, kMostBehindUs);
}

}  // namespace
