// Web backend (browsers, through Emscripten): the presenter shows the game's
// console on the page's terminal (xterm.js) as on a terminal, changed cells
// only, in UTF-8; keys come from that terminal as a terminal sends them and go
// through the same decoder. Every wait is a wait of the browser's event loop:
// Asyncify suspends the program and the page resumes it when a key comes or a
// timer fires, so a game waiting for a key costs the tab nothing. The page's
// side is web/page.js.
#include <emscripten.h>

#include <cstring>
#include <ctime>
#include <string>

#include "platform/console_io.h"
#include "platform/presenter.h"
#include "platform/program.h"

// The page's side of each call; `Module.page` is set up by web/page.js.
EM_JS(void, WebWrite, (const char* bytes, int size), { Module.page.write(HEAPU8.slice(bytes, bytes + size)); });
EM_JS(int, WebTakeKeys, (char* buffer, int capacity), { return Module.page.takeKeys(HEAPU8, buffer, capacity); });
EM_ASYNC_JS(void, WebWaitForKeys, (double timeoutMs), { await Module.page.waitForKeys(timeoutMs); });
EM_ASYNC_JS(void, WebSleepUntil, (double deadlineMs), { await Module.page.sleepUntil(deadlineMs); });
EM_JS(void, WebLeaveLine, (const char* text, int size), { Module.page.leaveLine(HEAPU8.slice(text, text + size)); });
EM_JS(void, WebLeavePath, (const char* label, int size, const char* path), {
    Module.page.leavePath(HEAPU8.slice(label, label + size), UTF8ToString(path));
});
EM_JS(void, WebLeaveCommand, (const char* label, int size, const char* command), {
    Module.page.leaveCommand(HEAPU8.slice(label, label + size), UTF8ToString(command));
});
EM_JS(void, WebEnded, (int status), { Module.page.ended(status); });
EM_ASYNC_JS(void, WebWaitForever, (), { await new Promise(function() {}); });

namespace {

// The longest the program runs without letting the page have its turn: keys
// only come in while the program is suspended.
constexpr double kLongestRunMs = 10;
// The page's terminal has the game's rows and the key help's, no more.
constexpr int kTerminalRows = kHintRow + 1;

// Hidden cursor, no autowrap, normal colours, blank screen.
const char kTakeSequence[] = "\x1b[?25l\x1b[?7l\x1b[0m\x1b[H\x1b[2J";

double lastYieldMs = 0;  // when the page last had its turn

double NowMs() { return emscripten_get_now(); }

// The page says that the game has ended and offers to start again; the
// program stays suspended for good.
[[noreturn]] void EndGame(int status) {
    Present();
    WebEnded(status);
    // From the page's last call, where nothing may wait, the program just ends.
    if (WaitsStopped()) emscripten_force_exit(status);
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
        TakeTerminalBytes(bytes, static_cast<std::size_t>(count));
    } while (count == static_cast<int>(sizeof bytes));
    KeyDecoder& keys = PresenterKeys();
    if (KeyDecoderWaiting(keys)) SettleKeyDecoder(keys);
}

// Lets the page run until keys come or timeoutMs passes (-1: until keys come;
// 0: only its turn), then takes the keys.
void WaitForKeys(double timeoutMs) {
    if (WaitsStopped()) return;
    WebWaitForKeys(timeoutMs);
    lastYieldMs = NowMs();
    TakeKeys();
}

// The key help without the part that names Ctrl+C: the pad has no such key,
// and a page is closed, not ended. The parts are two full-width blanks apart.
std::string PageHint(const std::string& text) {
    static const std::string gap = "\x81\x40\x81\x40";
    std::size_t quit = text.find("Ctrl+C");
    if (quit == std::string::npos) return text;
    std::size_t begin = text.rfind(gap, quit);
    std::size_t end = text.find(gap, quit);
    if (begin == std::string::npos) {
        begin = 0;
        end = end == std::string::npos ? text.size() : end + gap.size();
    } else if (end == std::string::npos) {
        end = text.size();
    }
    return text.substr(0, begin) + text.substr(end);
}

}  // namespace

void BackendSend(const char* bytes, std::size_t size) { WebWrite(bytes, static_cast<int>(size)); }

long long BackendNowUs() { return static_cast<long long>(NowMs() * 1000); }

// The page's terminal keeps its size, and the page's leaving comes as WebQuit.
void BackendHandleWakeups() {}

// Never waits for a key, but lets the page have its turn when the program
// has run for a while without one, since keys only come in then.
void BackendPollKeys() {
    TakeKeys();
    if (PresenterKeys().codes.empty() && NowMs() - lastYieldMs >= kLongestRunMs) WaitForKeys(0);
}

// Suspends the program until a key comes.
void BackendWaitForKey() {
    TakeKeys();
    if (PresenterKeys().codes.empty()) WaitForKeys(-1);
}

// Keys that come meanwhile are read for later; Ctrl+C ends the game at once
// (the page cuts the wait short for it).
void BackendWaitUntil(long long deadlineUs) {
    WebSleepUntil(static_cast<double>(deadlineUs) / 1000);
    lastYieldMs = NowMs();
    TakeKeys();
}

void BackendQuitKey() {
    RunQuitHandler();
    EndGame(QuitKeyStatus());
}

// The page is going away (closed, reloaded, navigated from): the game's quit
// handler runs once, at a point where the program is suspended in a wait.
extern "C" EMSCRIPTEN_KEEPALIVE void WebQuit() {
    StopWaits();
    RunQuitHandler();
}

// What the terminal shows, as text, for the page to draw while its terminal
// is still loading (web/page.js). The page calls it while the program waits.
extern "C" EMSCRIPTEN_KEEPALIVE const char* WebPresentedText() {
    static std::string text;
    text = PresentedText();
    return text.c_str();
}

void PlatformStart() {
    WebWrite(kTakeSequence, static_cast<int>(sizeof kTakeSequence - 1));
    lastYieldMs = NowMs();
    // xterm.js, at the version the page ships, draws East Asian Ambiguous
    // characters one column wide: nothing to ask the terminal (a reply would
    // hold the first frame back by a round of the page's event loop).
    StartPresenter(kConsoleColumns, kTerminalRows, AmbiguousWidth::kNarrow);
}

void PlatformShowHint(const char* text) { SetKeyHelp(PageHint(text ? text : "")); }

// A page has no shell to print on after the game: the lines are shown on the
// page when the game has ended, a data file's path as its address.
void PlatformLeaveLine(const char* text) {
    WebLeaveLine(text, static_cast<int>(std::strlen(text)));
}

void PlatformLeaveCommand(const char* label, const char* command) {
    WebLeaveCommand(label, static_cast<int>(std::strlen(label)), command);
}

void PlatformLeavePath(const char* label, const char* path) {
    std::string relative = path;
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    WebLeavePath(label, static_cast<int>(std::strlen(label)), relative.c_str());
}

long long PlatformSeconds() { return static_cast<long long>(std::time(nullptr)); }

void PlatformExit(int status) { EndGame(status); }
