// Terminal backend (Linux, macOS): the game's console is held in memory and
// shown on the terminal's alternate screen, changed cells only, in UTF-8; keys
// come from the terminal in raw mode. The terminal is given back as it was on
// every way out: PlatformExit, the end of the program, Ctrl+C, and every
// signal that ends, stops or crashes it.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/console_io.h"
#include "platform/memory_console.h"
#include "platform/program.h"
#include "platform/sjis_utf8.h"
#include "platform/sleep_pacer.h"
#include "platform/terminal_keys.h"
#include "platform/terminal_render.h"

namespace {

constexpr int kInput = STDIN_FILENO;
constexpr int kOutput = STDOUT_FILENO;
// How long to wait for the rest of an escape sequence before taking a lone Escape.
constexpr int kEscapeWaitMs = 30;
// How long to wait for the terminal to report its cursor at start.
constexpr int kReportWaitMs = 500;
// The pace of the field's scroll: two frames to a display refresh at 60 Hz, so
// that a scroll shows as one (60 frames in about half a second).
constexpr unsigned kScrollFrameMs = 8;
// Ctrl+C, read as a key: the player ends the game.
constexpr char kQuitKey = 3;

// Alternate screen, hidden cursor, no autowrap, normal colours, blank screen.
const char kTakeSequence[] = "\x1b[?1049h\x1b[?25l\x1b[?7l\x1b[0m\x1b[H\x1b[2J";
// Cancel any sequence cut short, end a synchronized update, then normal
// colours, autowrap, visible cursor, and the main screen as the player left it.
const char kGiveBackSequence[] = "\x18\x1b[?2026l\x1b[0m\x1b[?7h\x1b[?25h\x1b[?1049l";

struct Terminal {
    MemoryConsole console;       // what the game drew
    MemoryConsole display;       // what the terminal is to show: the console and the key help
    TerminalView view;
    KeyDecoder keys;
    bool dirty = true;           // the console or the key help changed since the last present
    bool inputClosed = false;    // the keyboard's end was reached
    SleepPacer pacer;            // animation frames keep to their deadlines
    SleepPacer framePacer;       // so do the frames of the scroll
    std::string frame;
    std::string hint;            // the key help, Shift-JIS
    std::vector<std::string> leftLines;  // UTF-8, printed after the terminal is given back
    void (*quitHandler)() = nullptr;
    int quitStatus = 0;          // Ctrl+C's status
};

Terminal terminal;

// Shared with the signal handlers, which only do async-signal-safe work.
struct termios savedAttributes;
volatile sig_atomic_t haveSavedAttributes = 0;
volatile sig_atomic_t playing = 0;        // between PlatformStart and the exit
volatile sig_atomic_t terminalTaken = 0;  // raw mode and the alternate screen are in effect
volatile sig_atomic_t wakeupPending = 0;  // resized or continued: repaint
volatile sig_atomic_t quitSignal = 0;     // INT, TERM or HUP came: end in order at the next chance
volatile sig_atomic_t quitting = 0;       // the game is being ended in order
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

// Raw mode: keys unechoed, one byte at a time, reads that never wait. Ctrl+C
// comes as a key, so that the game ends in order; Ctrl+Z and Ctrl+\ keep their
// signals.
void TakeTerminal() {
    if (haveSavedAttributes) {
        struct termios raw = savedAttributes;
        raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
        raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        raw.c_cflag |= CS8;
        raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN);
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        raw.c_cc[VINTR] = _POSIX_VDISABLE;
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

// The terminal given back, the lines the game left for the player.
void GiveBackAndLeaveLines() {
    GiveTerminalBackAtExit();
    for (const std::string& line : terminal.leftLines) {
        WriteFully(line.data(), line.size());
        WriteFully("\n", 1);
    }
    terminal.leftLines.clear();
}

void Wake(char why) {
    wakeupPending = 1;
    if (wakePipe[1] >= 0) {
        ssize_t ignored = write(wakePipe[1], &why, 1);
        (void)ignored;
    }
}

// The signals that end the program at once: give the terminal back, then let
// the signal do what it would have done (installed to reset on entry).
void OnEndingSignal(int signalNumber) {
    GiveTerminalBack(TCSANOW);
    raise(signalNumber);
    _exit(128 + signalNumber);
}

// INT, TERM and HUP end the game in order: the next wait ends it, after the
// game's own handler. A second INT or TERM while that is under way ends it at
// once (the player insists); a hang-up comes more than once when a terminal
// closes (from the terminal and from its owner), and the game is already
// ending in order, so a repeated one changes nothing.
void OnQuitSignal(int signalNumber) {
    if (signalNumber == SIGHUP && playing && (quitSignal != 0 || quitting)) return;
    if (quitSignal != 0 || quitting || !playing) OnEndingSignal(signalNumber);
    int savedErrno = errno;
    quitSignal = signalNumber;
    Wake('q');
    errno = savedErrno;
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

// Signals whose default is not to end the program, or that cannot be caught.
bool LeavesProgramRunning(int signalNumber) {
    for (int kept : {SIGKILL, SIGSTOP, SIGTSTP, SIGTTIN, SIGTTOU, SIGCONT, SIGCHLD, SIGURG, SIGWINCH}) {
        if (signalNumber == kept) return true;
    }
    return false;
}

void InstallSignalHandlers() {
    const int quitting[] = {SIGINT, SIGTERM, SIGHUP};
    const int crashes[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
    // Every other signal that would end the program (QUIT, PIPE, ALRM, USR1,
    // XCPU, the real-time ones...) gives the terminal back first.
    for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber) {
        if (LeavesProgramRunning(signalNumber)) continue;
        Install(signalNumber, OnEndingSignal, SA_RESETHAND | SA_NODEFER, true);
    }
    for (int signalNumber : crashes) Install(signalNumber, OnEndingSignal, SA_RESETHAND | SA_NODEFER, false);
    for (int signalNumber : quitting) Install(signalNumber, OnQuitSignal, SA_RESTART, true);
    Install(SIGTSTP, OnStopSignal, SA_RESTART, true);
    Install(SIGCONT, OnContinueSignal, SA_RESTART, false);
    Install(SIGWINCH, OnResizeSignal, SA_RESTART, false);
}

// Ends the game in order: the game's handler, the terminal given back, the
// lines left for the player; then the game's status for Ctrl+C, or the
// signal's own end.
// The handler may call the platform again; nothing it calls ends the game.
[[noreturn]] void Quit(int signalNumber) {
    quitting = 1;
    if (void (*handler)() = terminal.quitHandler) {
        terminal.quitHandler = nullptr;
        handler();
    }
    GiveBackAndLeaveLines();
    if (signalNumber != 0) {
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
        _exit(128 + signalNumber);
    }
    std::exit(terminal.quitStatus);
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
    if (quitSignal != 0 && !quitting) Quit(quitSignal);
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
    ComposeDisplay(terminal.console, terminal.hint, terminal.view.rows, terminal.display);
    RenderConsole(terminal.view, terminal.display, terminal.frame);
    WriteFully(terminal.frame.data(), terminal.frame.size());
    terminal.dirty = false;
}

// The terminal hung up: the game ends as if its console were closed, even
// when started with the hang-up signal ignored.
void InputClosed() {
    terminal.inputClosed = true;
    if (!quitting) Quit(SIGHUP);
}

void ReadBytes() {
    char bytes[256];
    ssize_t count = read(kInput, bytes, sizeof bytes);
    if (count > 0) {
        if (!quitting && std::memchr(bytes, kQuitKey, static_cast<std::size_t>(count))) Quit(0);
        FeedKeyBytes(terminal.keys, bytes, static_cast<std::size_t>(count));
    } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
        InputClosed();
    }
}

// Waits up to timeoutMs (-1: for ever) for keys or a wake-up, and reads the
// keys that came (a repaint or the end of the game for a wake-up). Returns as
// soon as something came.
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
    }
}

// Reads what was typed, never waiting. The rest of an escape sequence follows
// at once; if it does not, the Escape was a key of its own.
void PollKeys() {
    WaitForInput(0);
    while (!terminal.inputClosed && KeyDecoderWaiting(terminal.keys) && terminal.keys.codes.empty()) {
        struct pollfd input = {kInput, POLLIN, 0};
        if (poll(&input, 1, kEscapeWaitMs) <= 0 || !(input.revents & POLLIN)) {
            SettleKeyDecoder(terminal.keys);
            break;
        }
        ReadBytes();
    }
}

// While the terminal is too small to show the game, the game stands still:
// the notice shows, keys typed meanwhile are dropped, and the game's call
// returns only once the terminal is large enough again. Returns how long it
// stood still, in microseconds.
long long HoldWhileTooSmall() {
    HandleWakeups();
    if (!ViewTooSmall(terminal.view)) return 0;
    long long start = MonotonicUs();
    std::size_t keysBefore = terminal.keys.codes.size();
    Present();
    while (ViewTooSmall(terminal.view)) WaitForInput(-1);
    terminal.keys.codes.resize(keysBefore);
    Present();
    return MonotonicUs() - start;
}

// Waits until `deadlineUs` (later by as long as the game stood still behind
// the size notice), reading keys for later and repainting after a resize.
void WaitUntil(long long& deadlineUs) {
    for (;;) {
        long long left = deadlineUs - MonotonicUs();
        if (left <= 0) return;
        WaitForInput(static_cast<int>((left + 999) / 1000));
        deadlineUs += HoldWhileTooSmall();
        Present();  // a repaint that a signal asked for while poll() was interrupted
    }
}

// Draws ● at the top left and asks where the cursor went: two columns on
// means the terminal draws East Asian Ambiguous characters wide. A terminal
// that does not answer is drawn for so that either width stays aligned.
AmbiguousWidth DetectAmbiguousWidth() {
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

// The game reads keys from the terminal and draws on it: anything else (a file,
// a pipe) would echo keys over the screen or fill a file with escape sequences.
void RequireTerminal() {
    const char* missing = !isatty(kInput) ? "input" : !isatty(kOutput) ? "output" : nullptr;
    if (!missing) return;
    std::fprintf(stderr, "chessrpg: standard %s is not a terminal; the game plays in a terminal of at least %d x %d.\n",
                 missing, kMinimumColumns, kMinimumRows);
    std::exit(1);
}

}  // namespace

void PlatformStart() {
    RequireTerminal();
    ResetMemoryConsole(terminal.console);
    if (pipe(wakePipe) == 0) {
        for (int end : wakePipe) {
            fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
            fcntl(end, F_SETFD, FD_CLOEXEC);
        }
    }
    if (tcgetattr(kInput, &savedAttributes) == 0) haveSavedAttributes = 1;
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

bool PlatformPlaceCursor(int x, int y) { return PlaceMemoryCursor(terminal.console, x, y); }

void PlatformSetAttribute(unsigned attribute) { terminal.console.attribute = attribute; }

void PlatformWrite(const char* bytes, std::size_t count) {
    WriteMemoryConsole(terminal.console, bytes, count);
    terminal.dirty = true;
}

// Never blocks: the game polls here only where it has something else to do.
bool PlatformKeyWaiting() {
    HoldWhileTooSmall();
    Present();
    if (terminal.keys.codes.empty()) PollKeys();
    return !terminal.keys.codes.empty();
}

// Sleeps until a key, a resize or a signal: where the game reads without
// polling first, only a key can take it on.
int PlatformReadKey() {
    for (;;) {
        HoldWhileTooSmall();
        int code = 0;
        if (TakeKeyCode(terminal.keys, code)) return code;
        Present();
#ifdef CHESSRPG_SPIN_WAITS
        PollKeys();  // never blocks: lets the benchmark show what the blocking wait saves
#else
        WaitForInput(-1);
        PollKeys();
#endif
    }
}

void PlatformSleep(unsigned milliseconds) {
    HoldWhileTooSmall();
    Present();
    long long deadline = SleepDeadline(terminal.pacer, MonotonicUs(), milliseconds);
    WaitUntil(deadline);
    SleepEnded(terminal.pacer, deadline, MonotonicUs());
}

void PlatformShowHint(const char* text) {
    if (!text) text = "";
    if (terminal.hint == text) return;
    terminal.hint = text;
    terminal.dirty = true;
}

// Each frame of the scroll is shown whole, a frame's pace after the last.
void PlatformShowFrame() {
    HoldWhileTooSmall();
    long long due = FrameDeadline(terminal.framePacer, MonotonicUs(), kScrollFrameMs);
    WaitUntil(due);
    Present();
    SleepEnded(terminal.framePacer, due, MonotonicUs());
}

void PlatformLeaveLine(const char* text) { terminal.leftLines.push_back(SjisToUtf8(text, std::strlen(text))); }

void PlatformLeavePath(const char* label, const char* path) {
    std::string line = SjisToUtf8(label, std::strlen(label));
    char folder[4096];
    if (path[0] != '/' && getcwd(folder, sizeof folder)) line += std::string(folder) + "/";
    for (const char* p = path; *p; ++p) line += *p == '\\' ? '/' : *p;
    terminal.leftLines.push_back(line);
}

void PlatformOnQuit(void (*handler)(), int status) {
    terminal.quitHandler = handler;
    terminal.quitStatus = status;
}

long long PlatformSeconds() { return static_cast<long long>(std::time(nullptr)); }

void PlatformExit(int status) {
    GiveBackAndLeaveLines();
    std::exit(status);
}
