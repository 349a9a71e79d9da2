// The headless backend's controls, for tests: scripted keys that may be due at a
// virtual time, a virtual clock that sleeps advance, and the console's cells.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/memory_console.h"

// Why a headless run stopped; thrown out of the game code, never caught by it.
struct HeadlessStop {
    enum Reason { kOutOfKeys, kTimeLimit, kExited } reason;
    int status;  // the exit status for kExited
};

// A fresh run: blank console, clock at 0, no keys, data files read below dataRoot.
void HeadlessReset(const std::string& dataRoot = ".");

// Queues a key code; it can be read once the clock has reached dueMs.
void HeadlessPushKey(int code, long long dueMs = 0);
void HeadlessPushKeys(std::initializer_list<int> codes);
// Queues an arrow key as the console gives it: 224, then the scan code.
void HeadlessPushArrow(int scanCode, long long dueMs = 0);
std::size_t HeadlessKeysLeft();

// A player in code: asked for a key code whenever the game looks for one and
// the script is empty; -1 means "no key now" (the game goes on waiting, and
// the run then ends only at the time limit). HeadlessReset removes it.
void HeadlessSetKeySource(std::function<int()> source);

// Called at the start of every sleep, before the clock moves on: the moment a
// terminal would show what was drawn so far. HeadlessReset removes it.
void HeadlessSetSleepWatcher(std::function<void(unsigned milliseconds)> watcher);

// Called at the end of every frame the game marks (PlatformShowFrame), where a
// terminal shows that frame whole. HeadlessReset removes it.
void HeadlessSetFrameWatcher(std::function<void()> watcher);

// The key help the game shows now ("" for none), in Shift-JIS, and the key
// help that showed at each key read of the run.
const std::string& HeadlessHint();
const std::vector<std::string>& HeadlessHintsAtKeyReads();
// The lines the game left to be printed after exit, in order; a path is given
// as "label" followed by the path as the game named it.
const std::vector<std::string>& HeadlessLeftLines();

// Virtual milliseconds since HeadlessReset, and the limit past which the run stops.
long long HeadlessMilliseconds();
void HeadlessSetTimeLimit(long long milliseconds);
// The wall clock's seconds at virtual time 0.
void HeadlessSetSeconds(long long seconds);

const MemoryConsole& HeadlessScreen();
// Number of PlatformWrite calls so far (to check that nothing was drawn).
long long HeadlessWriteCount();

// One thing the game asked of the console, for the benchmarks that replay a
// run on other presenters: a cursor placement (ok: the console took it), an
// attribute, bytes written, a point where the terminal backend shows what was
// drawn (a key poll, a key read, a sleep, a frame), or new key help (bytes).
struct ConsoleCall {
    enum Kind { kPlace, kAttribute, kWrite, kShow, kHint } kind = kShow;
    int x = 0;
    int y = 0;
    bool ok = false;
    unsigned attribute = 0;
    std::string bytes;
};

// Appends every console call of the run to `calls` from now on; null stops.
// HeadlessReset stops it too.
void HeadlessRecordCalls(std::vector<ConsoleCall>* calls);
