// Web backend (browsers, through Emscripten): the game's console is held in
// memory and shown on the page's terminal (xterm.js) by the terminal
// backend's present, changed cells only, in UTF-8; keys come from that
// terminal as a terminal sends them and go through the same decoder. Every
// wait is a wait of the browser's event loop: Asyncify suspends the program
// and the page resumes it when a key comes or a timer fires, so a game
// waiting for a key costs the tab nothing. The page's side is web/page.js.
#include <emscripten.h>

#include <cstring>
#include <ctime>
#include <string>

#include "platform/console_io.h"
#include "platform/memory_console.h"
#include "platform/program.h"
#include "platform/sleep_pacer.h"
#include "platform/terminal_keys.h"
#include "platform/terminal_render.h"

// The page's side of each call; `Module.page` is set up by web/page.js.
EM_JS(void, WebWrite, (const char* bytes, int size), { Module.page.write(HEAPU8.slice(bytes, bytes + size)); });
EM_JS(int, WebTakeKeys, (char* buffer, int capacity), { return Module.page.takeKeys(HEAPU8, buffer, capacity); });
EM_ASYNC_JS(void, WebWaitForKeys, (double timeoutMs), { await Module.page.waitForKeys(timeoutMs); });
EM_ASYNC_JS(void, WebSleepUntil, (double deadlineMs), { await Module.page.sleepUntil(deadlineMs); });
EM_JS(void, WebLeaveLine, (const char* text, int size), { Module.page.leaveLine(HEAPU8.slice(text, text + size)); });
EM_JS(void, WebLeavePath, (const char* label, int size, const char* path), {
    Module.page.leavePath(HEAPU8.slice(label, label + size), UTF8ToString(path));
});
EM_JS(void, WebEnded, (int status), { Module.page.ended(status); });
EM_ASYNC_JS(void, WebWaitForever, (), { await new Promise(function() {}); });

namespace {

// The longest the program runs without letting the page have its turn: keys
// only come in while the program is suspended.
constexpr double kLongestRunMs = 10;
// The pace of the field's scroll, as on the terminal: two frames to a display
// refresh at 60 Hz, the whole scroll in about half a second.
constexpr unsigned kScrollFrameMs = 8;
// Ctrl+C, read as a key: the player ends the game, as on the terminal.
constexpr char kQuitKey = 3;
// How long to wait for the terminal to report its cursor at start.
constexpr double kReportWaitMs = 500;

// Hidden cursor, no autowrap, normal colours, blank screen.
const char kTakeSequence[] = "\x1b[?25l\x1b[?7l\x1b[0m\x1b[H\x1b[2J";

struct WebConsole {
    MemoryConsole console;      // what the game drew
    MemoryConsole display;      // what the terminal is to show: the console and the key help
    TerminalView view;
    KeyDecoder keys;
    bool dirty = true;          // the console or the key help changed since the last present
    double lastYieldMs = 0;     // when the page last had its turn
    bool quitting = false;      // the page is going away: nothing may wait any more
    void (*quitHandler)() = nullptr;
    int quitStatus = 0;  // the status Ctrl+C ends with
    SleepPacer pacer;           // animation frames keep to their deadlines
    SleepPacer framePacer;      // so do the frames of the scroll
    std::string frame;
    std::string hint;           // the key help, Shift-JIS
};

WebConsole web;

double NowMs() { return emscripten_get_now(); }

// Shows what the game drew since the last present, with the key help on the
// row below the game, as on the terminal.
void Present() {
    if (!web.dirty) return;
    web.frame.clear();
    ComposeDisplay(web.console, web.hint, web.view.rows, web.display);
    RenderConsole(web.view, web.display, web.frame);
    if (!web.frame.empty()) WebWrite(web.frame.data(), static_cast<int>(web.frame.size()));
    web.dirty = false;
}

// The game's handler for the player's ending the game, once at most.
void RunQuitHandler() {
    void (*handler)() = web.quitHandler;
    web.quitHandler = nullptr;
    if (handler) handler();
}

// The page says that the game has ended and offers to start again; the
// program stays suspended for good.
[[noreturn]] void EndGame(int status) {
    Present();
    WebEnded(status);
    // From the page's last call, where nothing may wait, the program just ends.
    if (web.quitting) emscripten_force_exit(status);
    for (;;) WebWaitForever();
}

// Takes the bytes the page's terminal sent. Each batch holds whole keys (the
// terminal sends a key's sequence at once), so an escape sequence still
// incomplete after it was a key on its own.
void TakeKeys() {
    char bytes[256];
    int count = 0;
    do {
        count = WebTakeKeys(bytes, static_cast<int>(sizeof bytes));
        if (count <= 0) break;
        if (std::memchr(bytes, kQuitKey, static_cast<std::size_t>(count))) {
            RunQuitHandler();
            EndGame(web.quitStatus);
        }
        FeedKeyBytes(web.keys, bytes, static_cast<std::size_t>(count));
    } while (count == static_cast<int>(sizeof bytes));
    if (KeyDecoderWaiting(web.keys)) SettleKeyDecoder(web.keys);
}

// Lets the page run until keys come or timeoutMs passes (-1: until keys come;
// 0: only its turn), then takes the keys.
void WaitForKeys(double timeoutMs) {
    if (web.quitting) return;
    WebWaitForKeys(timeoutMs);
    web.lastYieldMs = NowMs();
    TakeKeys();
}

long long NowUs() { return static_cast<long long>(NowMs() * 1000); }

// Lets the page run until the clock reaches the deadline (microseconds of
// NowMs). Keys that come meanwhile are read for later; Ctrl+C ends the game
// at once (the page cuts the wait short for it).
void WaitUntil(long long deadlineUs) {
    while (!web.quitting && NowUs() < deadlineUs) {
        WebSleepUntil(static_cast<double>(deadlineUs) / 1000);
        web.lastYieldMs = NowMs();
        TakeKeys();
    }
}

// Draws ● at the top left and asks where the cursor went, as the terminal
// backend does: two columns on means East Asian Ambiguous characters are wide.
AmbiguousWidth DetectAmbiguousWidth() {
    const char probe[] = "\x1b[1;1H\xe2\x97\x8f\x1b[6n";
    WebWrite(probe, static_cast<int>(sizeof probe - 1));
    web.keys.hasCursorReport = false;
    double deadline = NowMs() + kReportWaitMs;
    while (!web.keys.hasCursorReport) {
        double left = deadline - NowMs();
        if (left <= 0) break;
        WaitForKeys(left);
    }
    // Keys typed while the page was starting are not the answer; they stay.
    if (!web.keys.hasCursorReport) return AmbiguousWidth::kUnmeasured;
    return web.keys.reportColumn >= 3 ? AmbiguousWidth::kWide : AmbiguousWidth::kNarrow;
}

}  // namespace

// The page is going away (closed, reloaded, navigated from): the game's quit
// handler runs once, at a point where the program is suspended in a wait.
extern "C" EMSCRIPTEN_KEEPALIVE void WebQuit() {
    web.quitting = true;
    RunQuitHandler();
}

void PlatformStart() {
    ResetMemoryConsole(web.console);
    WebWrite(kTakeSequence, static_cast<int>(sizeof kTakeSequence - 1));
    web.lastYieldMs = NowMs();
    AmbiguousWidth ambiguous = DetectAmbiguousWidth();
    ResetTerminalView(web.view, kConsoleColumns, kConsoleRows, ambiguous);
    web.dirty = true;
    Present();
}

bool PlatformPlaceCursor(int x, int y) { return PlaceMemoryCursor(web.console, x, y); }

void PlatformSetAttribute(unsigned attribute) { web.console.attribute = attribute; }

void PlatformWrite(const char* bytes, std::size_t count) {
    WriteMemoryConsole(web.console, bytes, count);
    web.dirty = true;
}

// Never waits for a key, but lets the page have its turn when the program
// has run for a while without one, since keys only come in then.
bool PlatformKeyWaiting() {
    Present();
    if (web.keys.codes.empty()) TakeKeys();
    if (web.keys.codes.empty() && NowMs() - web.lastYieldMs >= kLongestRunMs) WaitForKeys(0);
    return !web.keys.codes.empty();
}

// Suspends the program until a key comes: where the game reads without
// polling first, only a key can take it on.
int PlatformReadKey() {
    int code = 0;
    while (!TakeKeyCode(web.keys, code)) {
        if (web.quitting) return 0;
        Present();
        TakeKeys();
        if (web.keys.codes.empty()) WaitForKeys(-1);
    }
    return code;
}

void PlatformSleep(unsigned milliseconds) {
    Present();
    long long deadline = SleepDeadline(web.pacer, NowUs(), milliseconds);
    WaitUntil(deadline);
    SleepEnded(web.pacer, deadline, NowUs());
}

void PlatformShowHint(const char* text) {
    if (!text) text = "";
    if (web.hint == text) return;
    web.hint = text;
    web.dirty = true;
}

// Each frame of the scroll is shown whole, a frame's pace after the last.
void PlatformShowFrame() {
    long long due = FrameDeadline(web.framePacer, NowUs(), kScrollFrameMs);
    WaitUntil(due);
    Present();
    SleepEnded(web.framePacer, due, NowUs());
}

// A page has no shell to print on after the game: the lines are shown on the
// page when the game has ended, a data file's path as its address.
void PlatformLeaveLine(const char* text) {
    WebLeaveLine(text, static_cast<int>(std::strlen(text)));
}

void PlatformLeavePath(const char* label, const char* path) {
    std::string relative = path;
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    WebLeavePath(label, static_cast<int>(std::strlen(label)), relative.c_str());
}

void PlatformOnQuit(void (*handler)(), int status) {
    web.quitHandler = handler;
    web.quitStatus = status;
}

long long PlatformSeconds() { return static_cast<long long>(std::time(nullptr)); }

void PlatformExit(int status) { EndGame(status); }
