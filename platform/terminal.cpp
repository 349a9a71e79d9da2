// Terminal backend (Linux, macOS): the game's console is held in memory and
// shown on the terminal's alternate screen, changed cells only, in UTF-8; keys
// come from the terminal in raw mode. The terminal is given back as it was on
// every way out: PlatformExit, the end of the program, and the signals that
// end, stop or crash it.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/memory_console.h"
#include "platform/platform.h"
#include "platform/sleep_pacer.h"
#include "platform/terminal_keys.h"
#include "platform/terminal_render.h"

namespace {

constexpr int kInput = STDIN_FILENO;
constexpr int kOutput = STDOUT_FILENO;
// How long a poll that keeps finding nothing may block; a key ends it at once.
#ifdef CHESSRPG_SPIN_WAITS
constexpr int kIdleWaitMs = 0;  // never blocks: lets the benchmark show what the blocking wait saves
#else
constexpr int kIdleWaitMs = 20;
#endif
// How long to wait for the rest of an escape sequence before taking a lone Escape.
constexpr int kEscapeWaitMs = 30;
// How long to wait for the terminal to report its cursor at start.
constexpr int kReportWaitMs = 500;

// Alternate screen, hidden cursor, no autowrap, normal colours, blank screen.
const char kTakeSequence[] = "\x1b[?1049h\x1b[?25l\x1b[?7l\x1b[0m\x1b[H\x1b[2J";
// Cancel any sequence cut short, then normal colours, autowrap, visible
// cursor, and the main screen as the player left it.
const char kGiveBackSequence[] = "\x18\x1b[0m\x1b[?7h\x1b[?25h\x1b[?1049l";

struct Terminal {
    MemoryConsole console;
    TerminalView view;
    KeyDecoder keys;
    bool dirty = true;           // the console changed since the last present
    std::size_t backlog = 0;     // bytes written since the last present
    bool lastPollVain = false;   // the previous call was a vain key poll, with nothing in between
    bool inputClosed = false;    // the keyboard's end was reached
    SleepPacer pacer;            // animation frames keep to their deadlines
    std::string frame;
};

Terminal terminal;

// Shared with the signal handlers, which only do async-signal-safe work.
struct termios savedAttributes;
volatile sig_atomic_t haveSavedAttributes = 0;
volatile sig_atomic_t playing = 0;        // between PlatformStart and the exit
volatile sig_atomic_t terminalTaken = 0;  // raw mode and the alternate screen are in effect
volatile sig_atomic_t wakeupPending = 0;  // resized or continued: repaint
int wakePipe[2] = {-1, -1};

// write() until done; gives up on an error (a terminal that is gone).
void WriteFully(const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = write(kOutput, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EAGAIN) {
            struct pollfd ready = {kOutput, POLLOUT, 0};
            poll(&ready, 1, 100);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            return;
        }
    }
}

// Raw mode: keys unechoed, one byte at a time, reads that never wait. Ctrl+C,
// Ctrl+Z and Ctrl+\ keep their signals.
void TakeTerminal() {
    if (haveSavedAttributes) {
        struct termios raw = savedAttributes;
        raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
        raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        raw.c_cflag |= CS8;
        raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN);
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        tcsetattr(kInput, TCSANOW, &raw);
    }
    WriteFully(kTakeSequence, sizeof kTakeSequence - 1);
    terminalTaken = 1;
}

void GiveTerminalBack(int when) {
    if (!terminalTaken) return;
    terminalTaken = 0;
    WriteFully(kGiveBackSequence, sizeof kGiveBackSequence - 1);
    if (haveSavedAttributes) tcsetattr(kInput, when, &savedAttributes);
}

void GiveTerminalBackAtExit() {
    playing = 0;
    GiveTerminalBack(TCSAFLUSH);
}

void Wake(char why) {
    wakeupPending = 1;
    if (wakePipe[1] >= 0) {
        ssize_t ignored = write(wakePipe[1], &why, 1);
        (void)ignored;
    }
}

// INT, TERM, HUP, QUIT and the crash signals: give the terminal back, then
// let the signal do what it would have done (installed to reset on entry).
void OnEndingSignal(int signalNumber) {
    GiveTerminalBack(TCSANOW);
    raise(signalNumber);
    _exit(128 + signalNumber);
}

// Ctrl+Z: the shell gets its terminal back while the game is stopped.
void OnStopSignal(int) {
    int savedErrno = errno;
    GiveTerminalBack(TCSANOW);
    kill(getpid(), SIGSTOP);
    errno = savedErrno;
}

// Continued after a stop: raw mode and the alternate screen again, and a repaint.
void OnContinueSignal(int) {
    int savedErrno = errno;
    if (playing) {
        TakeTerminal();
        Wake('c');
    }
    errno = savedErrno;
}

void OnResizeSignal(int) {
    int savedErrno = errno;
    Wake('w');
    errno = savedErrno;
}

void Install(int signalNumber, void (*handler)(int), int flags, bool keepIgnored) {
    struct sigaction action = {};
    if (keepIgnored) {
        // A signal the program was started with ignored (nohup) stays ignored.
        if (sigaction(signalNumber, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) return;
        action = {};
    }
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
}

void InstallSignalHandlers() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        Install(signalNumber, OnEndingSignal, SA_RESETHAND | SA_NODEFER, true);
    }
    for (int signalNumber : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        Install(signalNumber, OnEndingSignal, SA_RESETHAND | SA_NODEFER, false);
    }
    Install(SIGTSTP, OnStopSignal, SA_RESTART, true);
    Install(SIGCONT, OnContinueSignal, SA_RESTART, false);
    Install(SIGWINCH, OnResizeSignal, SA_RESTART, false);
}

void QuerySize(int& columns, int& rows) {
    struct winsize size = {};
    if (ioctl(kOutput, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        columns = size.ws_col;
        rows = size.ws_row;
    } else {
        columns = kConsoleColumns;
        rows = kConsoleRows;
    }
}

long long MonotonicUs() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

long long MonotonicMs() { return MonotonicUs() / 1000; }

void HandleWakeups() {
    if (!wakeupPending) return;
    wakeupPending = 0;
    char drained[64];
    while (read(wakePipe[0], drained, sizeof drained) > 0) {
    }
    int columns = 0;
    int rows = 0;
    QuerySize(columns, rows);
    ResizeTerminalView(terminal.view, columns, rows);
    terminal.dirty = true;
}

// Shows what the game drew since the last present.
void Present() {
    HandleWakeups();
    if (!terminal.dirty) return;
    terminal.frame.clear();
    RenderConsole(terminal.view, terminal.console, terminal.frame);
    WriteFully(terminal.frame.data(), terminal.frame.size());
    terminal.dirty = false;
    terminal.backlog = 0;
}

void InputClosed() {
    terminal.inputClosed = true;
    // The terminal hung up: the game ends as if its console were closed, even
    // when started with the hang-up signal ignored. Input that is not a
    // terminal simply has no more keys.
    if (haveSavedAttributes) {
        raise(SIGHUP);
        GiveTerminalBackAtExit();
        _exit(128 + SIGHUP);
    }
}

void ReadBytes() {
    char bytes[256];
    ssize_t count = read(kInput, bytes, sizeof bytes);
    if (count > 0) {
        FeedKeyBytes(terminal.keys, bytes, static_cast<std::size_t>(count));
    } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
        InputClosed();
    }
}

// Waits up to timeoutMs (-1: for ever) for keys or a wake-up, and reads the
// keys that came. Returns as soon as something came.
void WaitForInput(int timeoutMs) {
    struct pollfd watched[2] = {{wakePipe[0], POLLIN, 0}, {kInput, POLLIN, 0}};
    int count = poll(watched, terminal.inputClosed ? 1 : 2, timeoutMs);
    if (count <= 0) return;
    if (watched[0].revents & POLLIN) Present();
    if (terminal.inputClosed) return;
    if (watched[1].revents & POLLIN) {
        ReadBytes();
    } else if (watched[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
        InputClosed();
        return;
    }
    // The rest of an escape sequence follows at once; if it does not, the
    // Escape was a key of its own.
    while (!terminal.inputClosed && KeyDecoderWaiting(terminal.keys) && terminal.keys.codes.empty()) {
        struct pollfd input = {kInput, POLLIN, 0};
        if (poll(&input, 1, kEscapeWaitMs) <= 0 || !(input.revents & POLLIN)) {
            SettleKeyDecoder(terminal.keys);
            break;
        }
        ReadBytes();
    }
}

// Draws ● at the top left and asks where the cursor went: two columns on
// means the terminal draws East Asian Ambiguous characters wide. A terminal
// that does not answer is drawn for so that either width stays aligned.
AmbiguousWidth DetectAmbiguousWidth() {
    if (!isatty(kInput) || !isatty(kOutput)) return AmbiguousWidth::kUnmeasured;
    const char probe[] = "\x1b[1;1H\xe2\x97\x8f\x1b[6n";
    WriteFully(probe, sizeof probe - 1);
    terminal.keys.hasCursorReport = false;
    long long deadline = MonotonicMs() + kReportWaitMs;
    while (!terminal.keys.hasCursorReport && !terminal.inputClosed) {
        long long left = deadline - MonotonicMs();
        if (left <= 0) break;
        struct pollfd input = {kInput, POLLIN, 0};
        if (poll(&input, 1, static_cast<int>(left)) > 0 && (input.revents & POLLIN)) ReadBytes();
    }
    if (!terminal.keys.hasCursorReport) return AmbiguousWidth::kUnmeasured;
    return terminal.keys.reportColumn >= 3 ? AmbiguousWidth::kWide : AmbiguousWidth::kNarrow;
}

}  // namespace

void PlatformStart() {
    ResetMemoryConsole(terminal.console);
    if (pipe(wakePipe) == 0) {
        for (int end : wakePipe) {
            fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
            fcntl(end, F_SETFD, FD_CLOEXEC);
        }
    }
    if (isatty(kInput) && tcgetattr(kInput, &savedAttributes) == 0) haveSavedAttributes = 1;
    InstallSignalHandlers();
    playing = 1;
    TakeTerminal();
    std::atexit(GiveTerminalBackAtExit);
    AmbiguousWidth ambiguous = DetectAmbiguousWidth();
    int columns = 0;
    int rows = 0;
    QuerySize(columns, rows);
    ResetTerminalView(terminal.view, columns, rows, ambiguous);
    terminal.dirty = true;
    Present();
}

bool PlatformPlaceCursor(int x, int y) {
    terminal.lastPollVain = false;
    return PlaceMemoryCursor(terminal.console, x, y);
}

void PlatformSetAttribute(unsigned attribute) { terminal.console.attribute = attribute; }

void PlatformWrite(const char* bytes, std::size_t count) {
    terminal.lastPollVain = false;
    WriteMemoryConsole(terminal.console, bytes, count);
    terminal.dirty = true;
    terminal.backlog += count;
    // Drawing that goes on without a pause still shows its frames.
    if (terminal.backlog >= kPresentBacklog) Present();
}

// A vain poll right after another vain one means the game is waiting for a
// key: block a little in poll(), which returns the moment a key arrives.
bool PlatformKeyWaiting() {
    Present();
    if (terminal.keys.codes.empty()) WaitForInput(terminal.lastPollVain ? kIdleWaitMs : 0);
    terminal.lastPollVain = terminal.keys.codes.empty();
    return !terminal.lastPollVain;
}

int PlatformReadKey() {
    terminal.lastPollVain = false;
    int code = 0;
    while (!TakeKeyCode(terminal.keys, code)) {
        Present();
        WaitForInput(-1);
    }
    return code;
}

void PlatformSleep(unsigned milliseconds) {
    terminal.lastPollVain = false;
    Present();
    long long deadline = SleepDeadline(terminal.pacer, MonotonicUs(), milliseconds);
    for (;;) {
        long long left = deadline - MonotonicUs();
        if (left <= 0) break;
        // Wakes early only to repaint after a resize, then sleeps on.
        struct pollfd wake = {wakePipe[0], POLLIN, 0};
        if (poll(&wake, 1, static_cast<int>((left + 999) / 1000)) > 0) Present();
    }
    SleepEnded(terminal.pacer, deadline, MonotonicUs());
}

void PlatformShowHint(const char*) {}
void PlatformShowFrame() {}
void PlatformLeaveLine(const char*) {}
void PlatformLeavePath(const char*, const char*) {}

void PlatformOnQuit(void (*)()) {}
long long PlatformSeconds() { return static_cast<long long>(std::time(nullptr)); }

void PlatformExit(int status) {
    GiveTerminalBackAtExit();
    std::exit(status);
}
