// Timing for the backends' sleeps. The game animates with short sleeps
// between frames (1 ms for a slide, 30 ms for a wipe, 50 ms a typed byte); a
// sleep that starts right after the last one ended is such a frame, and ends a
// whole pause after the last one's deadline rather than a pause from now, so
// that the time frames take to draw and the system's lateness in waking do not
// add up over an animation. After anything else (a wait for a key), or when
// too far behind, a sleep is timed from now. Pure arithmetic on microseconds.
#pragma once

struct SleepPacer {
    long long lastDeadlineUs = 0;         // when the last sleep was due to end
    long long lastEndUs = -1000000000LL;  // when it did end
};

// Started this soon after the last sleep ended, a sleep is a frame.
constexpr long long kFrameFollowsUs = 5000;
// A frame never hurries by more than this to catch up.
constexpr long long kMostBehindUs = 50000;

// True when a pause of `milliseconds` starting at nowUs continues the frames
// before it: it starts right after the last one ended and is not too far behind.
inline bool ContinuesFrames(const SleepPacer& pacer, long long nowUs, unsigned milliseconds) {
    long long chained = pacer.lastDeadlineUs + static_cast<long long>(milliseconds) * 1000;
    return nowUs - pacer.lastEndUs <= kFrameFollowsUs && nowUs - chained <= kMostBehindUs;
}

// When a sleep of `milliseconds` that starts at nowUs should end.
inline long long SleepDeadline(const SleepPacer& pacer, long long nowUs, unsigned milliseconds) {
    long long pause = static_cast<long long>(milliseconds) * 1000;
    return ContinuesFrames(pacer, nowUs, milliseconds) ? pacer.lastDeadlineUs + pause : nowUs + pause;
}

// When a frame of an animation without pauses of its own should be shown: the
// first at once, each following one a pause after the one before.
inline long long FrameDeadline(const SleepPacer& pacer, long long nowUs, unsigned milliseconds) {
    long long pause = static_cast<long long>(milliseconds) * 1000;
    return ContinuesFrames(pacer, nowUs, milliseconds) ? pacer.lastDeadlineUs + pause : nowUs;
}

// Notes the sleep that was due at deadlineUs and ended at endUs.
inline void SleepEnded(SleepPacer& pacer, long long deadlineUs, long long endUs) {
    pacer.lastDeadlineUs = deadlineUs;
    pacer.lastEndUs = endUs;
}
