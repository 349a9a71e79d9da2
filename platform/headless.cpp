// Headless backend: the game runs against an in-memory console, scripted keys
// and a virtual clock, deterministically and without a person.
#include "platform/headless.h"

#include <deque>

#include "platform/console_io.h"
#include "platform/data_files.h"
#include "platform/posix_data_file.h"
#include "platform/program.h"

namespace {

struct ScriptedKey {
    int code;
    long long dueMs;
};

struct HeadlessRun {
    MemoryConsole screen;
    std::deque<ScriptedKey> keys;
    long long nowMs = 0;
    long long limitMs = 24LL * 3600 * 1000;
    long long secondsBase = 1000000;
    long long writes = 0;
    int vainPolls = 0;  // vain polls in a row, with nothing drawn or slept in between
    std::string dataRoot = ".";
    std::function<int()> keySource;
    std::vector<ConsoleCall>* calls = nullptr;
    std::function<void(unsigned)> sleepWatcher;
    std::function<void()> frameWatcher;
    std::string hint;
    std::vector<std::string> hintsAtReads;
    std::vector<std::string> leftLines;
};

HeadlessRun run;

void Advance(long long milliseconds) {
    run.nowMs += milliseconds;
    if (run.nowMs > run.limitMs) throw HeadlessStop{HeadlessStop::kTimeLimit, 0};
}

// A call of the given kind, appended when calls are being recorded.
ConsoleCall* Record(ConsoleCall::Kind kind) {
    if (!run.calls) return nullptr;
    run.calls->emplace_back();
    run.calls->back().kind = kind;
    return &run.calls->back();
}

}  // namespace

void HeadlessReset(const std::string& dataRoot) {
    ResetMemoryConsole(run.screen);
    run.keys.clear();
    run.nowMs = 0;
    run.limitMs = 24LL * 3600 * 1000;
    run.writes = 0;
    run.vainPolls = 0;
    run.dataRoot = dataRoot;
    run.keySource = nullptr;
    run.calls = nullptr;
    run.sleepWatcher = nullptr;
    run.frameWatcher = nullptr;
    run.hint.clear();
    run.hintsAtReads.clear();
    run.leftLines.clear();
}

void HeadlessRecordCalls(std::vector<ConsoleCall>* calls) { run.calls = calls; }

void HeadlessSetKeySource(std::function<int()> source) { run.keySource = std::move(source); }

void HeadlessSetSleepWatcher(std::function<void(unsigned)> watcher) { run.sleepWatcher = std::move(watcher); }

void HeadlessSetFrameWatcher(std::function<void()> watcher) { run.frameWatcher = std::move(watcher); }

const std::string& HeadlessHint() { return run.hint; }
const std::vector<std::string>& HeadlessHintsAtKeyReads() { return run.hintsAtReads; }
const std::vector<std::string>& HeadlessLeftLines() { return run.leftLines; }

void HeadlessPushKey(int code, long long dueMs) { run.keys.push_back(ScriptedKey{code, dueMs}); }

void HeadlessPushKeys(std::initializer_list<int> codes) {
    for (int code : codes) HeadlessPushKey(code);
}

void HeadlessPushArrow(int scanCode, long long dueMs) {
    HeadlessPushKey(224, dueMs);
    HeadlessPushKey(scanCode, dueMs);
}

std::size_t HeadlessKeysLeft() { return run.keys.size(); }
long long HeadlessMilliseconds() { return run.nowMs; }
void HeadlessSetTimeLimit(long long milliseconds) { run.limitMs = milliseconds; }
void HeadlessSetSeconds(long long seconds) { run.secondsBase = seconds; }
const MemoryConsole& HeadlessScreen() { return run.screen; }
long long HeadlessWriteCount() { return run.writes; }

void PlatformStart() {}

bool PlatformEnterDataDirectory(const char*) { return true; }
const char* PlatformDataFolder(int n) { return n == 0 ? "." : nullptr; }

bool PlatformPlaceCursor(int x, int y) {
    run.vainPolls = 0;
    bool ok = PlaceMemoryCursor(run.screen, x, y);
    if (ConsoleCall* call = Record(ConsoleCall::kPlace)) {
        call->x = x;
        call->y = y;
        call->ok = ok;
    }
    return ok;
}

void PlatformSetAttribute(unsigned attribute) {
    run.screen.attribute = attribute;
    if (ConsoleCall* call = Record(ConsoleCall::kAttribute)) call->attribute = attribute;
}

void PlatformWrite(const char* bytes, std::size_t count) {
    run.vainPolls = 0;
    ++run.writes;
    WriteMemoryConsole(run.screen, bytes, count);
    if (ConsoleCall* call = Record(ConsoleCall::kWrite)) call->bytes.assign(bytes, count);
}

// Many vain polls in a row, with nothing drawn or slept in between, are a busy
// wait for a key: the clock moves on by a millisecond a poll, and with no key
// left to come the run is over. A few in a row are still play (the main loop
// polls after a figure's step and again before the next figure's pause).
bool PlatformKeyWaiting() {
    constexpr int kBusyWait = 100;
    Record(ConsoleCall::kShow);
    if (run.keys.empty() && run.keySource) {
        int code = run.keySource();
        if (code >= 0) HeadlessPushKey(code, run.nowMs);
    }
    if (!run.keys.empty() && run.keys.front().dueMs <= run.nowMs) return true;
    if (++run.vainPolls >= kBusyWait) {
        if (run.keys.empty() && !run.keySource) throw HeadlessStop{HeadlessStop::kOutOfKeys, 0};
        Advance(1);
    }
    return false;
}

int PlatformReadKey() {
    run.vainPolls = 0;
    Record(ConsoleCall::kShow);
    run.hintsAtReads.push_back(run.hint);
    // A blocking read asks the player in code until it gives a key, a
    // millisecond at a time.
    while (run.keys.empty() && run.keySource) {
        int code = run.keySource();
        if (code >= 0) {
            HeadlessPushKey(code, run.nowMs);
        } else {
            Advance(1);
        }
    }
    if (run.keys.empty()) throw HeadlessStop{HeadlessStop::kOutOfKeys, 0};
    ScriptedKey key = run.keys.front();
    if (key.dueMs > run.nowMs) Advance(key.dueMs - run.nowMs);
    run.keys.pop_front();
    return key.code;
}

void PlatformSleep(unsigned milliseconds) {
    run.vainPolls = 0;
    Record(ConsoleCall::kShow);
    if (run.sleepWatcher) run.sleepWatcher(milliseconds);
    Advance(milliseconds);
}

void PlatformShowHint(const char* text) {
    if (!text) text = "";
    if (run.hint == text) return;
    run.hint = text;
    if (ConsoleCall* call = Record(ConsoleCall::kHint)) call->bytes = text;
}

// A frame takes no virtual time: the game does not pause between frames.
void PlatformShowFrame() {
    Record(ConsoleCall::kShow);
    if (run.frameWatcher) run.frameWatcher();
}

void PlatformLeaveLine(const char* text) { run.leftLines.emplace_back(text); }

void PlatformLeavePath(const char* label, const char* path) { run.leftLines.push_back(std::string(label) + path); }

void PlatformLeaveCommand(const char* label, const char* command) {
    run.leftLines.push_back(std::string(label) + command);
}

void PlatformOnQuit(void (*)(), int) {}
long long PlatformSeconds() { return run.secondsBase + run.nowMs / 1000; }
long long PlatformMilliseconds() { return run.nowMs; }

// Opened as the program opens them, below the run's data folder.
std::FILE* PlatformOpenFile(const char* path) { return OpenDataFile(run.dataRoot, path); }

void PlatformExit(int status) { throw HeadlessStop{HeadlessStop::kExited, status}; }
