// The journal between the console primitives and the backend: off, it passes
// every call on; recording, it writes each key, clock reading and the end as
// a line; replaying, it answers the game's polls, reads and clock from the
// recording, checks the game's state at each key, and paces the game's sleeps
// and the player's waits at the speed the viewer chooses.
#include "platform/journal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/console_io.h"
#include "platform/program.h"

namespace {

enum class Mode { kOff, kRecording, kReplaying };

constexpr uint32_t kHashStart = 2166136261u;
constexpr long long kLargestNumber = 1000000000000000LL;  // 10^15: no count or time comes near it
constexpr int kArrowPrefix = 224;
constexpr int kOtherArrowPrefix = 0;  // some consoles send this before an arrow
constexpr int kSpace = 32;
constexpr int kUp = 72, kLeft = 75, kRight = 77, kDown = 80;
// The longest real pause between two looks at the viewer's keys.
constexpr unsigned kControlLookMs = 50;

// The viewer's speeds, slowest first: numerator and denominator; 0/0 has no limit.
struct Speed {
    int times;
    int per;
};
constexpr Speed kSpeeds[] = {{1, 8}, {1, 4}, {1, 2}, {1, 1}, {2, 1}, {4, 1}, {8, 1}, {16, 1}, {0, 0}};
constexpr int kSpeedCount = sizeof kSpeeds / sizeof kSpeeds[0];
constexpr int kNormalSpeed = 3;

struct Journal {
    Mode mode = Mode::kOff;
    StateCheck check = nullptr;
    uint32_t drawn = kHashStart;  // everything drawn since the journey began
    long long calls = 0;          // calls since the last key
    long long polls = 0;          // vain polls since the last key
    long long keys = 0;           // keys read so far

    // Recording.
    std::FILE* file = nullptr;
    long long startMs = 0;
    std::string failureHint;
    std::string failure;

    // Replaying.
    std::vector<JournalEvent> events;
    std::size_t next = 0;           // the next event to take
    long long pollsLeft = -1;       // vain polls before the next key; -1: no key left
    bool keyShown = false;          // a poll has said that a key is waiting
    const JournalEvent* end = nullptr;
    ReplaySettings settings;
    ReplayOutcome outcome;
    int speed = kNormalSpeed;
    bool paused = false;
    long long lastKeyMs = 0;        // the recording's time of the last key
    long long sleptSinceKeyMs = 0;  // the game's sleeps since then, as asked
    long long owedUs = 0;           // paced time not slept yet
};

Journal journal;

void AddByte(uint32_t& hash, unsigned char byte) { hash = (hash ^ byte) * 16777619u; }

void AddNumber(uint32_t& hash, long long value) {
    for (int i = 0; i < 8; ++i) AddByte(hash, static_cast<unsigned char>((static_cast<unsigned long long>(value) >> (8 * i)) & 0xFF));
}

// The check at this moment: what was drawn, the calls since the last key
// (the polls, sleeps and frames that led here), and the game's state.
uint32_t CheckNow() {
    uint32_t hash = journal.drawn;
    AddNumber(hash, journal.calls);
    AddNumber(hash, journal.check ? journal.check() : 0);
    return hash;
}

long long SinceStartMs() { return PlatformMilliseconds() - journal.startMs; }

// --- Recording ---

void WriteLines(const std::string& lines) {
    if (journal.mode != Mode::kRecording) return;
    errno = 0;
    if (std::fputs(lines.c_str(), journal.file) >= 0 && std::fflush(journal.file) == 0) return;
    journal.failure = journal.failureHint + (errno != 0 ? std::strerror(errno) : "write error");
    journal.mode = Mode::kOff;
    PlatformShowHint(journal.failure.c_str());
    PlatformLeaveLine(journal.failure.c_str());
}

void WriteEvent(const JournalEvent& event) { WriteLines(FormatJournalEvent(event) + "\n"); }

// --- Replaying ---

std::string SpeedLabel() {
    const Speed& speed = kSpeeds[journal.speed];
    const ReplayTexts& texts = journal.settings.texts;
    if (speed.times == 0) return texts.fastest;
    if (speed.per == 1) return texts.times + std::to_string(speed.times);
    return texts.times + std::to_string(speed.times) + "/" + std::to_string(speed.per);
}

const char kGap[] = "\x81\x40\x81\x40";  // two full-width blanks between the parts of the key help

void ShowReplayHint() {
    const ReplayTexts& texts = journal.settings.texts;
    std::string hint = journal.paused ? texts.paused + " " + SpeedLabel() : texts.playing + " " + SpeedLabel();
    PlatformShowHint((hint + kGap + texts.keys).c_str());
}

// A key of the viewer's: Space pauses and resumes, Right and Up go faster,
// Left and Down slower. Other keys do nothing.
void TakeControl(int code) {
    if (code == kArrowPrefix || code == kOtherArrowPrefix) {
        int scan = PlatformReadKey();
        if ((scan == kRight || scan == kUp) && journal.speed + 1 < kSpeedCount) ++journal.speed;
        if ((scan == kLeft || scan == kDown) && journal.speed > 0) --journal.speed;
    } else if (code == kSpace) {
        journal.paused = !journal.paused;
    }
    ShowReplayHint();
}

// Takes the viewer's keys; while paused, waits for them.
void LookAtControls() {
    while (PlatformKeyWaiting()) TakeControl(PlatformReadKey());
    while (journal.paused) TakeControl(PlatformReadKey());
}

// Passes `ms` of the recording's time at the viewer's speed, looking at the
// viewer's keys at least every kControlLookMs; a change of speed counts at
// once. What is too short to sleep is carried over to the next pause.
void PassTime(long long ms) {
    LookAtControls();
    if (ms > 0) journal.owedUs += ms * 1000;
    for (;;) {
        const Speed& speed = kSpeeds[journal.speed];
        if (speed.times == 0) {
            journal.owedUs = 0;
            PlatformSleep(0);
            return;
        }
        long long realMs = journal.owedUs * speed.per / speed.times / 1000;
        if (realMs <= 0) return;
        long long piece = realMs < kControlLookMs ? realMs : kControlLookMs;
        PlatformSleep(static_cast<unsigned>(piece));
        journal.owedUs -= piece * 1000 * speed.times / speed.per;
        LookAtControls();
    }
}

// The replay stops: the outcome is kept and said, below the last screen and
// after exit; then the program ends, or the screen stays until the viewer
// ends the game.
[[noreturn]] void Stop(ReplayOutcome::State state, const std::string& why) {
    ReplayOutcome& outcome = journal.outcome;
    outcome.state = state;
    outcome.why = why;
    if (state == ReplayOutcome::kParted) {
        outcome.key = journal.keys + 1;
        outcome.ms = journal.next < journal.events.size() && journal.events[journal.next].kind != JournalEvent::kClock
                         ? journal.events[journal.next].ms
                         : journal.lastKeyMs;
    } else {
        outcome.key = journal.keys;
        outcome.ms = state == ReplayOutcome::kEnded && journal.end ? journal.end->ms : journal.lastKeyMs;
    }
    journal.mode = Mode::kOff;
    const ReplayTexts& texts = journal.settings.texts;
    std::string figures = std::to_string(outcome.key) + " (" + RecordingTime(outcome.ms) + ")";
    std::string line = state == ReplayOutcome::kParted ? texts.parted + figures + ": " + why
                       : state == ReplayOutcome::kCut  ? texts.cut + figures
                                                       : texts.ended + figures;
    PlatformLeaveLine(line.c_str());
    const int status = ReplayStatus(outcome);
    if (journal.settings.exitAtStop) PlatformExit(status);
    PlatformShowHint((line + kGap + texts.quitKey).c_str());
    PlatformOnQuit(nullptr, status);
    for (;;) PlatformReadKey();
}

[[noreturn]] void Part(const std::string& why) { Stop(ReplayOutcome::kParted, why); }

// Vain polls before the next key, -1 when no key is left.
void FindNextKey() {
    journal.pollsLeft = -1;
    for (std::size_t i = journal.next; i < journal.events.size(); ++i) {
        if (journal.events[i].kind == JournalEvent::kKey) {
            journal.pollsLeft = journal.events[i].count;
            return;
        }
    }
}

// Every call counts; the one during which the player ended the recorded game
// ends the replay, before it is carried out.
void CountCall() {
    ++journal.calls;
    const JournalEvent* end = journal.end;
    if (end && journal.pollsLeft < 0 && journal.calls > end->count) {
        Part("the game went on past the point where the recording ends");
    }
    if (journal.next < journal.events.size() && &journal.events[journal.next] == end && journal.calls == end->count) {
        if (CheckNow() != end->check) Part("the game's state at the end differs from the recording's");
        Stop(ReplayOutcome::kEnded, "");
    }
}

// A key or clock reading that the recording does not hold: a recording cut
// short ends here; otherwise the game has left it.
[[noreturn]] void NothingRecorded(const char* what) {
    if (!journal.end) Stop(ReplayOutcome::kCut, "");
    Part(std::string("the game ") + what + " after the recording's last key");
}

bool ReplayKeyWaiting() {
    CountCall();
    if (journal.pollsLeft < 0) {
        if (!journal.end) Stop(ReplayOutcome::kCut, "");
        return false;  // the vain polls before the player ended the game
    }
    if (journal.pollsLeft > 0) {
        --journal.pollsLeft;
        return false;
    }
    journal.keyShown = true;
    return true;
}

int ReplayReadKey() {
    CountCall();
    if (journal.pollsLeft < 0) NothingRecorded("read a key");
    const JournalEvent& event = journal.events[journal.next];
    if (event.kind != JournalEvent::kKey) Part("the game read a key where the recording read the clock");
    if (journal.pollsLeft > 0) {
        Part("the game read a key after " + std::to_string(event.count - journal.pollsLeft) +
             " vain polls, where the recording polled " + std::to_string(event.count) + " times");
    }
    if (CheckNow() != event.check) Part("the game's state differs from the recording's");
    // A read that waits: the player took this long to press the key.
    if (journal.settings.watched && !journal.keyShown) PassTime(event.ms - journal.lastKeyMs - journal.sleptSinceKeyMs);
    ++journal.next;
    ++journal.keys;
    journal.lastKeyMs = event.ms;
    journal.sleptSinceKeyMs = 0;
    journal.calls = 0;
    journal.keyShown = false;
    FindNextKey();
    return static_cast<int>(event.value);
}

long long ReplaySeconds() {
    CountCall();
    if (journal.next >= journal.events.size() || journal.events[journal.next].kind == JournalEvent::kEnd) {
        NothingRecorded("read the clock");
    }
    const JournalEvent& event = journal.events[journal.next];
    if (event.kind != JournalEvent::kClock) Part("the game read the clock where the recording read a key");
    ++journal.next;
    return event.value;
}

void ReplaySleep(unsigned milliseconds) {
    CountCall();
    journal.sleptSinceKeyMs += milliseconds;
    if (journal.settings.watched) {
        PassTime(milliseconds);
    } else {
        PlatformSleep(milliseconds);
    }
}

// --- Reading numbers ---

bool ParseNumber(const std::string& text, long long& value) {
    if (text.empty() || text.size() > 16) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= kLargestNumber;
}

bool ParseCheck(const std::string& text, uint32_t& check) {
    if (text.size() != 8) return false;
    check = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        check = check * 16 + static_cast<uint32_t>(digit);
    }
    return true;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words(1);
    for (char c : line) {
        if (c == ' ') {
            words.emplace_back();
        } else {
            words.back() += c;
        }
    }
    return words;
}

}  // namespace

bool ParseJournalEvent(const std::string& line, JournalEvent& event) {
    std::vector<std::string> words = Words(line);
    event = JournalEvent{};
    if (words[0] == "c") {
        event.kind = JournalEvent::kClock;
        return words.size() == 2 && ParseNumber(words[1], event.value);
    }
    if (words[0] == "k" && words.size() == 5) {
        event.kind = JournalEvent::kKey;
        return ParseNumber(words[1], event.value) && event.value <= 255 && ParseNumber(words[2], event.count) &&
               ParseNumber(words[3], event.ms) && ParseCheck(words[4], event.check);
    }
    if (words[0] == "e" && words.size() == 4) {
        event.kind = JournalEvent::kEnd;
        return ParseNumber(words[1], event.count) && event.count > 0 && ParseNumber(words[2], event.ms) &&
               ParseCheck(words[3], event.check);
    }
    return false;
}

std::string FormatJournalEvent(const JournalEvent& event) {
    char text[96];
    if (event.kind == JournalEvent::kClock) {
        std::snprintf(text, sizeof text, "c %lld", event.value);
    } else if (event.kind == JournalEvent::kKey) {
        std::snprintf(text, sizeof text, "k %lld %lld %lld %08x", event.value, event.count, event.ms,
                      static_cast<unsigned>(event.check));
    } else {
        std::snprintf(text, sizeof text, "e %lld %lld %08x", event.count, event.ms, static_cast<unsigned>(event.check));
    }
    return text;
}

std::string RecordingTime(long long ms) {
    char text[40];
    long long seconds = ms / 1000;
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld", seconds / 3600, seconds / 60 % 60, seconds % 60,
                      ms % 1000);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", seconds / 60, seconds % 60, ms % 1000);
    }
    return text;
}

// --- The console primitives' side ---

bool JournalPlaceCursor(int x, int y) {
    bool ok = PlatformPlaceCursor(x, y);
    if (journal.mode != Mode::kOff) {
        AddByte(journal.drawn, 'p');
        AddNumber(journal.drawn, x);
        AddNumber(journal.drawn, y);
        AddByte(journal.drawn, ok ? 1 : 0);
    }
    return ok;
}

void JournalSetAttribute(unsigned attribute) {
    PlatformSetAttribute(attribute);
    if (journal.mode != Mode::kOff) {
        AddByte(journal.drawn, 'a');
        AddNumber(journal.drawn, attribute);
    }
}

void JournalWrite(const char* bytes, std::size_t count) {
    PlatformWrite(bytes, count);
    if (journal.mode != Mode::kOff) {
        AddByte(journal.drawn, 'w');
        for (std::size_t i = 0; i < count; ++i) AddByte(journal.drawn, static_cast<unsigned char>(bytes[i]));
    }
}

bool JournalKeyWaiting() {
    if (journal.mode == Mode::kReplaying) return ReplayKeyWaiting();
    if (journal.mode == Mode::kOff) return PlatformKeyWaiting();
    ++journal.calls;
    bool waiting = PlatformKeyWaiting();
    if (!waiting) ++journal.polls;
    return waiting;
}

int JournalReadKey() {
    if (journal.mode == Mode::kReplaying) return ReplayReadKey();
    if (journal.mode == Mode::kOff) return PlatformReadKey();
    ++journal.calls;
    int code = PlatformReadKey();
    JournalEvent event;
    event.kind = JournalEvent::kKey;
    event.value = code;
    event.count = journal.polls;
    event.ms = SinceStartMs();
    event.check = CheckNow();
    WriteEvent(event);
    ++journal.keys;
    journal.polls = 0;
    journal.calls = 0;
    return code;
}

void JournalSleep(unsigned milliseconds) {
    if (journal.mode == Mode::kReplaying) return ReplaySleep(milliseconds);
    if (journal.mode == Mode::kRecording) ++journal.calls;
    PlatformSleep(milliseconds);
}

void JournalShowFrame() {
    if (journal.mode == Mode::kReplaying) CountCall();
    if (journal.mode == Mode::kRecording) ++journal.calls;
    PlatformShowFrame();
}

// While a recording is watched, the key help is the viewer's.
void JournalShowHint(const char* text) {
    if (journal.mode != Mode::kReplaying) PlatformShowHint(text);
}

long long JournalSeconds() {
    if (journal.mode == Mode::kReplaying) return ReplaySeconds();
    long long seconds = PlatformSeconds();
    if (journal.mode == Mode::kRecording) {
        ++journal.calls;
        JournalEvent event;
        event.kind = JournalEvent::kClock;
        event.value = seconds;
        WriteEvent(event);
    }
    return seconds;
}

// --- Recording and replaying ---

void JournalRecord(std::FILE* file, StateCheck check, const std::string& failureHint, const std::string& firstLines) {
    ResetJournal();
    journal.mode = Mode::kRecording;
    journal.file = file;
    journal.check = check;
    journal.failureHint = failureHint;
    journal.startMs = PlatformMilliseconds();
    WriteLines(firstLines);
}

void JournalFinishRecording() {
    if (journal.mode != Mode::kRecording) return;
    JournalEvent event;
    event.kind = JournalEvent::kEnd;
    event.count = journal.calls;
    event.ms = SinceStartMs();
    event.check = CheckNow();
    WriteEvent(event);
    journal.mode = Mode::kOff;
}

const std::string& JournalRecordingFailure() { return journal.failure; }

void JournalReplay(std::vector<JournalEvent> events, StateCheck check, const ReplaySettings& settings,
                   uint32_t startCheck) {
    ResetJournal();
    journal.mode = Mode::kReplaying;
    journal.events = std::move(events);
    journal.check = check;
    journal.settings = settings;
    if (!journal.events.empty() && journal.events.back().kind == JournalEvent::kEnd) {
        journal.end = &journal.events.back();
    }
    FindNextKey();
    if (settings.watched) ShowReplayHint();
    if (check() != startCheck) Part("the game's state at the start differs from the recording's");
}

const ReplayOutcome& JournalReplayOutcome() { return journal.outcome; }

int ReplayStatus(const ReplayOutcome& outcome) { return outcome.state == ReplayOutcome::kParted ? 1 : 0; }

void ResetJournal() { journal = Journal{}; }
