// The journal of a journey: all that the game's logic takes from outside
// (each key code, how many vain polls came before it, every reading of the
// wall clock) written down as it is played, or fed back from a recording so
// that the same code draws the same cells. The console primitives
// (console/console.cpp) go through it to the backend; while it is off it
// passes every call straight on. No operating system here: the file is a
// std::FILE* that the game opened through state_files.h.
//
// A recording's events, one a line after the header (docs/recordings.md):
//   k CODE POLLS MS CHECK   a key read: its code, the polls that found no key
//                           since the last key, the milliseconds since the
//                           journey began, and the check of the game's state
//                           as the key was read (8 hex digits)
//   c SECONDS               a reading of the wall clock
//   e CALLS MS CHECK        the player ended the game: during the CALLS-th
//                           call (poll, read, sleep, frame, clock) after the
//                           last key, MS into the journey, state CHECK
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// --- The console primitives' side: each passes on to the backend's call of
// the same name (console_io.h, program.h), and records or replays.
bool JournalPlaceCursor(int x, int y);
void JournalSetAttribute(unsigned attribute);
void JournalWrite(const char* bytes, std::size_t count);
bool JournalKeyWaiting();
int JournalReadKey();
void JournalSleep(unsigned milliseconds);
void JournalShowFrame();
void JournalShowHint(const char* text);
long long JournalSeconds();

// --- The events.
struct JournalEvent {
    enum Kind : char { kKey = 'k', kClock = 'c', kEnd = 'e' };
    Kind kind = kKey;
    long long value = 0;  // kKey: the code; kClock: the seconds
    long long count = 0;  // kKey: vain polls before it; kEnd: calls after the last key
    long long ms = 0;     // kKey, kEnd: milliseconds since the journey began
    uint32_t check = 0;   // kKey, kEnd
};

// One event line (without its line break); false when it is not one.
bool ParseJournalEvent(const std::string& line, JournalEvent& event);
std::string FormatJournalEvent(const JournalEvent& event);

// The check of the game's state that the top floor registers: a hash of what
// the game holds (hero, figures, battle, dice, cursor...). The journal mixes
// in a hash of everything drawn since the journey began and the number of
// its calls since the last key.
using StateCheck = uint32_t (*)();

// --- Recording. `firstLines` (the journey's start), then every event, go to
// `file` as lines, each flushed at once, so that a game killed at any moment
// leaves a usable recording. When a write fails, recording stops:
// `failureHint` (Shift-JIS) and the reason show as key help and again after
// exit, and play goes on.
void JournalRecord(std::FILE* file, StateCheck check, const std::string& failureHint, const std::string& firstLines);
// The player ends the game: the end line is written. Recording stops.
void JournalFinishRecording();
// Why recording stopped early ("" while it goes on or never failed).
const std::string& JournalRecordingFailure();

// --- Replaying.
// Texts (Shift-JIS) of the key help while a recording is watched; each is
// followed by the figures the replay fills in.
struct ReplayTexts {
    std::string playing;   // "replay" and the speed follow, then the keys
    std::string paused;
    std::string keys;      // what the controls do
    std::string fastest;   // the speed without a limit
    std::string times;     // before a speed's figure
    std::string ended;     // the end: key count and time follow
    std::string cut;       // the end of a recording cut short
    std::string parted;    // the replay left the recording: key, time and why follow
    std::string quitKey;   // how to leave once the replay has stopped
};

struct ReplaySettings {
    // The real keyboard steers (Space pauses, arrows change the speed) and the
    // replay keeps the recording's pace; without, it runs at once (tests, tools).
    bool watched = true;
    // When it stops: false holds the last screen until the player ends the
    // game; true ends the program (PlatformExit) with the outcome's status.
    bool exitAtStop = false;
    ReplayTexts texts;
};

// How a replay stands.
struct ReplayOutcome {
    enum State { kPlaying, kEnded, kCut, kParted } state = kPlaying;
    long long key = 0;     // the key it stopped at (kParted), or the keys replayed
    long long ms = 0;      // the recording's time there
    std::string why;       // kParted: what differed
};

// From now on the game's keys and clock come from `events`; the game is where
// the recording began when `check` gives `startCheck` (else the replay stops
// at once). The real keyboard is read only for the viewer's keys.
void JournalReplay(std::vector<JournalEvent> events, StateCheck check, const ReplaySettings& settings,
                   uint32_t startCheck);
const ReplayOutcome& JournalReplayOutcome();
// The status the program ends with after a replay stopped: 0 at its end, 1 when it parted.
int ReplayStatus(const ReplayOutcome& outcome);
// "m:ss.mmm" (or "h:mm:ss.mmm") for a time of the recording.
std::string RecordingTime(long long ms);

// Off again, as at program start (tests).
void ResetJournal();
