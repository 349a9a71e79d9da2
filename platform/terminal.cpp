// Terminal backend (Linux, macOS): the presenter shows the game's console on
// the terminal's alternate screen, changed cells only, in UTF-8; keys come
// from the terminal in raw mode. What is the terminal's own is here: raw mode,
// the signals, how bytes leave and how a wait sleeps. The terminal is given
// back as it was on every way out: PlatformExit, the end of the program,
// Ctrl+C, and every signal that ends, stops or crashes it.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/console_io.h"
#include "platform/presenter.h"
#include "platform/program.h"
#include "platform/sjis_utf8.h"

namespace {

constexpr int kInput = STDIN_FILENO;
constexpr int kOutput = STDOUT_FILENO;
// How long to wait for the rest of an escape sequence before taking a lone Escape.
constexpr int kEscapeWaitMs = 30;

// Alternate screen, hidden cursor, no autowrap, normal colours, blank screen.
const char kTakeSequence[] = "\x1b[?1049h\x1b[?25l\x1b[?7l\x1b[0m\x1b[H\x1b[2J";
// Cancel any sequence cut short, end a synchronized update, then normal
// colours, autowrap, visible cursor, and the main screen as the player left it.
const char kGiveBackSequence[] = "\x18\x1b[?2026l\x1b[0m\x1b[?7h\x1b[?25h\x1b[?1049l";

struct Terminal {
    bool inputClosed = false;            // the keyboard's end was reached
    std::vector<std::string> leftLines;  // UTF-8, printed after the terminal is given back
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
    RunQuitHandler();
    GiveBackAndLeaveLines();
    if (signalNumber != 0) {
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
        _exit(128 + signalNumber);
    }
    std::exit(QuitKeyStatus());
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
        TakeTerminalBytes(bytes, static_cast<std::size_t>(count));
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
    KeyDecoder& keys = PresenterKeys();
    while (!terminal.inputClosed && KeyDecoderWaiting(keys) && keys.codes.empty()) {
        struct pollfd input = {kInput, POLLIN, 0};
        if (poll(&input, 1, kEscapeWaitMs) <= 0 || !(input.revents & POLLIN)) {
            SettleKeyDecoder(keys);
            break;
        }
        ReadBytes();
    }
}

// The terminal's answer to the width probe at start: keys only, no wake-ups
// yet. False once the keyboard's end was reached.
bool WaitForAnswer(int timeoutMs) {
    struct pollfd input = {kInput, POLLIN, 0};
    if (poll(&input, 1, timeoutMs) > 0 && (input.revents & POLLIN)) ReadBytes();
    return !terminal.inputClosed;
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

void BackendSend(const char* bytes, std::size_t size) { WriteFully(bytes, size); }

long long BackendNowUs() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// INT, TERM or HUP ends the game in order; a resize or a continue repaints.
void BackendHandleWakeups() {
    if (quitSignal != 0 && !quitting) Quit(quitSignal);
    if (!wakeupPending) return;
    wakeupPending = 0;
    char drained[64];
    while (read(wakePipe[0], drained, sizeof drained) > 0) {
    }
    int columns = 0;
    int rows = 0;
    QuerySize(columns, rows);
    ResizePresenter(columns, rows);
}

void BackendPollKeys() { PollKeys(); }

// Sleeps until a key, a resize or a signal.
void BackendWaitForKey() {
#ifdef CHESSRPG_SPIN_WAITS
    PollKeys();  // never blocks: lets the benchmark show what the blocking wait saves
#else
    WaitForInput(-1);
    PollKeys();
#endif
}

void BackendWaitUntil(long long deadlineUs) {
    if (deadlineUs == kNoDeadline) {
        WaitForInput(-1);
        return;
    }
    long long left = std::max(0LL, deadlineUs - BackendNowUs());
    WaitForInput(static_cast<int>((left + 999) / 1000));
}

void BackendQuitKey() {
    if (!quitting) Quit(0);
}

void PlatformStart() {
    RequireTerminal();
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
    AmbiguousWidth ambiguous = MeasureAmbiguousWidth(WaitForAnswer);
    int columns = 0;
    int rows = 0;
    QuerySize(columns, rows);
    StartPresenter(columns, rows, ambiguous);
}

void PlatformShowHint(const char* text) { SetKeyHelp(text ? text : ""); }

void PlatformLeaveLine(const char* text) { terminal.leftLines.push_back(SjisToUtf8(text, std::strlen(text))); }

void PlatformLeaveCommand(const char* label, const char* command) {
    terminal.leftLines.push_back(SjisToUtf8(label, std::strlen(label)) + command);
}

void PlatformLeavePath(const char* label, const char* path) {
    std::string line = SjisToUtf8(label, std::strlen(label));
    char folder[4096];
    if (path[0] != '/' && getcwd(folder, sizeof folder)) line += std::string(folder) + "/";
    for (const char* p = path; *p; ++p) line += *p == '\\' ? '/' : *p;
    terminal.leftLines.push_back(line);
}

long long PlatformSeconds() { return static_cast<long long>(std::time(nullptr)); }

void PlatformExit(int status) {
    GiveBackAndLeaveLines();
    std::exit(status);
}
