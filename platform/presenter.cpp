// The console, keys and pace that the terminal and the browser share. The
// game draws into a console in memory; each present composes it with the key
// help and sends the terminal only what changed. Every poll, read, sleep and
// frame presents first, so what the game drew shows before it waits.
#include "platform/presenter.h"

#include <cstring>

#include "platform/console_io.h"
#include "platform/memory_console.h"
#include "platform/program.h"
#include "platform/screen_text.h"
#include "platform/sleep_pacer.h"

namespace {

// The pace of the field's scroll: two frames to a display refresh at 60 Hz, so
// that a scroll shows as one (60 frames in about half a second).
constexpr unsigned kScrollFrameMs = 8;
// Ctrl+C, read as a key: the player ends the game.
constexpr char kQuitKey = 3;
// How long to wait for the terminal to report its cursor at start.
constexpr long long kReportWaitMs = 500;
// Draws ● at the top left, then asks for the cursor's position.
const char kWidthProbe[] = "\x1b[1;1H\xe2\x97\x8f\x1b[6n";

struct Presenter {
    MemoryConsole console;       // what the game drew
    MemoryConsole display;       // what the terminal is to show: the console and the key help
    TerminalView view;
    KeyDecoder keys;
    bool dirty = true;           // the console or the key help changed since the last present
    bool waitsStopped = false;   // nothing may wait any more
    SleepPacer pacer;            // animation frames keep to their deadlines
    SleepPacer framePacer;       // so do the frames of the scroll
    std::string frame;
    std::string hint;            // the key help, Shift-JIS
    void (*quitHandler)() = nullptr;
    int quitStatus = 0;          // Ctrl+C's status
};

Presenter presenter;

// While the terminal is too small to show the game, the game stands still:
// the notice shows, keys typed meanwhile are dropped, and the game's call
// returns only once the terminal is large enough again. Returns how long it
// stood still, in microseconds.
long long HoldWhileTooSmall() {
    BackendHandleWakeups();
    if (!ViewTooSmall(presenter.view)) return 0;
    long long start = BackendNowUs();
    std::size_t keysBefore = presenter.keys.codes.size();
    Present();
    while (ViewTooSmall(presenter.view)) BackendWaitUntil(kNoDeadline);
    presenter.keys.codes.resize(keysBefore);
    Present();
    return BackendNowUs() - start;
}

// Waits until `deadlineUs` (later by as long as the game stood still behind
// the size notice), reading keys for later and repainting after a resize.
void WaitUntil(long long& deadlineUs) {
    while (!presenter.waitsStopped && deadlineUs - BackendNowUs() > 0) {
        BackendWaitUntil(deadlineUs);
        deadlineUs += HoldWhileTooSmall();
        if (!presenter.waitsStopped) Present();  // a repaint asked for during the wait
    }
}

}  // namespace

void StartPresenter(int columns, int rows, AmbiguousWidth ambiguous) {
    ResetMemoryConsole(presenter.console);
    ResetTerminalView(presenter.view, columns, rows, ambiguous);
    presenter.dirty = true;
    Present();
}

void ResizePresenter(int columns, int rows) {
    ResizeTerminalView(presenter.view, columns, rows);
    presenter.dirty = true;
}

void Present() {
    BackendHandleWakeups();
    if (!presenter.dirty) return;
    presenter.frame.clear();
    ComposeDisplay(presenter.console, presenter.hint, presenter.view.rows, presenter.display);
    RenderConsole(presenter.view, presenter.display, presenter.frame);
    if (!presenter.frame.empty()) BackendSend(presenter.frame.data(), presenter.frame.size());
    presenter.dirty = false;
}

void SetKeyHelp(const std::string& text) {
    if (presenter.hint == text) return;
    presenter.hint = text;
    presenter.dirty = true;
}

void TakeTerminalBytes(const char* bytes, std::size_t count) {
    if (std::memchr(bytes, kQuitKey, count)) BackendQuitKey();
    FeedKeyBytes(presenter.keys, bytes, count);
}

KeyDecoder& PresenterKeys() { return presenter.keys; }

std::string PresentedText() { return ScreenText(presenter.view, presenter.display, presenter.view.rows); }

AmbiguousWidth MeasureAmbiguousWidth(bool (*waitForBytes)(int timeoutMs)) {
    BackendSend(kWidthProbe, sizeof kWidthProbe - 1);
    KeyDecoder& keys = presenter.keys;
    keys.hasCursorReport = false;
    long long deadline = BackendNowUs() / 1000 + kReportWaitMs;
    while (!keys.hasCursorReport) {
        long long left = deadline - BackendNowUs() / 1000;
        if (left <= 0 || !waitForBytes(static_cast<int>(left))) break;
    }
    // Keys typed while the game was starting are not the answer; they stay.
    if (!keys.hasCursorReport) return AmbiguousWidth::kUnmeasured;
    return keys.reportColumn >= 3 ? AmbiguousWidth::kWide : AmbiguousWidth::kNarrow;
}

void RunQuitHandler() {
    void (*handler)() = presenter.quitHandler;
    presenter.quitHandler = nullptr;
    if (handler) handler();
}

int QuitKeyStatus() { return presenter.quitStatus; }

void StopWaits() { presenter.waitsStopped = true; }

bool WaitsStopped() { return presenter.waitsStopped; }

bool PlatformPlaceCursor(int x, int y) { return PlaceMemoryCursor(presenter.console, x, y); }

void PlatformSetAttribute(unsigned attribute) { presenter.console.attribute = attribute; }

void PlatformWrite(const char* bytes, std::size_t count) {
    WriteMemoryConsole(presenter.console, bytes, count);
    presenter.dirty = true;
}

// Never waits for a key: the game polls here only where it has something else to do.
bool PlatformKeyWaiting() {
    HoldWhileTooSmall();
    Present();
    if (presenter.keys.codes.empty()) BackendPollKeys();
    return !presenter.keys.codes.empty();
}

// Waits for a key: where the game reads without polling first, only a key can
// take it on.
int PlatformReadKey() {
    for (;;) {
        HoldWhileTooSmall();
        int code = 0;
        if (TakeKeyCode(presenter.keys, code)) return code;
        if (presenter.waitsStopped) return 0;
        Present();
        BackendWaitForKey();
    }
}

void PlatformSleep(unsigned milliseconds) {
    HoldWhileTooSmall();
    Present();
    long long deadline = SleepDeadline(presenter.pacer, BackendNowUs(), milliseconds);
    WaitUntil(deadline);
    SleepEnded(presenter.pacer, deadline, BackendNowUs());
}

// Each frame of the scroll is shown whole, a frame's pace after the last.
void PlatformShowFrame() {
    HoldWhileTooSmall();
    long long due = FrameDeadline(presenter.framePacer, BackendNowUs(), kScrollFrameMs);
    WaitUntil(due);
    Present();
    SleepEnded(presenter.framePacer, due, BackendNowUs());
}

long long PlatformMilliseconds() { return BackendNowUs() / 1000; }

void PlatformOnQuit(void (*handler)(), int status) {
    presenter.quitHandler = handler;
    presenter.quitStatus = status;
}
