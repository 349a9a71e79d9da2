// Win32 backend: the game draws into the console held in memory, and each
// present writes what changed onto the Windows console through its API (code
// page 932), with the key help on the row below the game, or the size notice
// while the console window is too small; keys come from the console's input
// events. Every poll, read, sleep and frame presents first, so what the game
// drew shows before it waits.
#include "platform/win32_api.h"
#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/console_io.h"
#include "platform/memory_console.h"
#include "platform/program.h"
#include "platform/sleep_pacer.h"
#include "platform/win32_input.h"
#include "platform/win32_present.h"
#include "platform/win32_texts.h"

namespace {

constexpr UINT kShiftJisCodePage = 932;
// The status Windows gives a program that Ctrl+Break ended.
constexpr UINT kControlCExitStatus = 0xC000013AU;
// How long a closing console waits for the game to end in order.
constexpr DWORD kQuitWaitMilliseconds = 4000;
// The first row below the game's, where the lines left at exit go.
constexpr SHORT kRowBelowGame = 21;
// How long a wait for input sleeps instead when there is no input to wait on.
constexpr DWORD kNoInputRetryMilliseconds = 20;
// How often a wait looks at the window's size: a window made shorter changes
// no buffer and sends no event. Faster while the size notice shows.
constexpr DWORD kSizeLookMilliseconds = 250;
constexpr DWORD kNoticeLookMilliseconds = 100;
// The pace of the field's scroll: two frames to a display refresh at 60 Hz.
constexpr unsigned kScrollFrameMs = 8;

// The console as the game found it, given back on every way out.
struct SavedConsole {
    UINT outputCodePage = 0;  // 0: the code page was left alone
    bool haveAttribute = false;
    WORD attribute = 7;
    bool haveCursorInfo = false;
    CONSOLE_CURSOR_INFO cursorInfo = {};
    bool haveInputMode = false;
    DWORD inputMode = 0;
};

HANDLE output = INVALID_HANDLE_VALUE;
HANDLE input = INVALID_HANDLE_VALUE;
bool outputIsConsole = false;
bool inputIsConsole = false;
// The game opened this console window for itself (started by a double-click):
// it closes with the game, so the closing lines wait for a key.
bool ownsWindow = false;
SavedConsole saved;
volatile LONG restored = 0;  // set once the console has been given back
// Set by the console's control handler (window closed, Ctrl+C or Ctrl+Break
// as a signal, log-off); the game's next wait ends the game in order on the main thread.
HANDLE quitEvent = nullptr;
volatile LONG quitStatus = 0;
volatile LONG quitByKey = 0;  // the handler's call was Ctrl+C: the player's own ending
// Set once the main thread ends the game in order: the handler then leaves it to it.
HANDLE quitBegunEvent = nullptr;
bool quitting = false;
void (*quitHandler)() = nullptr;
int quitKeyStatus = 0;  // the status Ctrl+C ends with
std::vector<std::string> leftLines;  // Shift-JIS, written after the console is given back

// What the game drew, and what the console shows.
struct Screen {
    MemoryConsole console;  // the game's cells
    MemoryConsole display;  // the game's cells and the key help
    Win32View view;
    std::string help;       // the key help, Shift-JIS
    bool dirty = true;      // the console or the help changed since the last present
    std::vector<Win32Call> calls;
};
Screen screen;

KeyQueue keys;               // read from the console, not yet handed to the game
SleepPacer pacer;            // animation frames keep to their deadlines
SleepPacer framePacer;       // so do the frames of the scroll
// The system timer ticks every millisecond while the game runs (else every
// 15.6 ms, which would stretch a 1 ms frame fifteenfold and a 50 ms one by a quarter).
bool timerRaised = false;

// Microseconds of the performance counter, which keeps going across sleeps.
long long MonotonicUs() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart / frequency.QuadPart * 1000000 + now.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

// --- The present ---

// The part of the console the player sees: the window, no wider than the buffer.
bool MeasureWindow(int& columns, int& rows) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!outputIsConsole || !GetConsoleScreenBufferInfo(output, &info)) return false;
    columns = std::min<int>(info.dwSize.X, info.srWindow.Right - info.srWindow.Left + 1);
    rows = std::min<int>(info.dwSize.Y, info.srWindow.Bottom - info.srWindow.Top + 1);
    return true;
}

// A new window size clears the console and draws it whole at the next present.
void LookAtSize() {
    int columns = 0;
    int rows = 0;
    if (!MeasureWindow(columns, rows)) return;
    ResizeWin32View(screen.view, columns, rows);
    if (screen.view.repaint) screen.dirty = true;
}

// Blanks the game's rows across the buffer, and the rest of the window when it
// shows the top of the buffer; a shell's lines further down are left alone.
void ClearConsoleRows() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(output, &info)) return;
    int windowEnd = info.srWindow.Top == 0 ? info.srWindow.Bottom + 1 : 0;
    int rows = std::min<int>(info.dwSize.Y, std::max<int>(kConsoleRows, windowEnd));
    DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(rows);
    COORD origin = {0, 0};
    DWORD done = 0;
    FillConsoleOutputCharacterA(output, ' ', cells, origin, &done);
    FillConsoleOutputAttribute(output, static_cast<WORD>(kNormalAttribute), cells, origin, &done);
}

// The bytes go out in the console's output code page, 932 since the start.
void WriteBytes(const char* bytes, std::size_t count) {
    while (count > 0) {
        DWORD chunk = count > 4096 ? 4096 : static_cast<DWORD>(count);
        DWORD written = 0;
        BOOL ok = outputIsConsole ? WriteConsoleA(output, bytes, chunk, &written, nullptr)
                                  : WriteFile(output, bytes, chunk, &written, nullptr);
        if (!ok || written == 0) return;
        bytes += written;
        count -= written;
    }
}

void MakeCalls(const std::vector<Win32Call>& calls) {
    for (const Win32Call& call : calls) {
        switch (call.kind) {
            case Win32Call::kClear:
                ClearConsoleRows();
                break;
            case Win32Call::kPlace: {
                COORD place = {static_cast<SHORT>(call.x), static_cast<SHORT>(call.y)};
                SetConsoleCursorPosition(output, place);
                break;
            }
            case Win32Call::kAttribute:
                SetConsoleTextAttribute(output, static_cast<WORD>(call.attribute));
                break;
            case Win32Call::kText:
                WriteBytes(call.text.data(), call.text.size());
                break;
        }
    }
}

// Shows what the game drew since the last present, and the key help.
void Present() {
    if (!outputIsConsole) return;
    LookAtSize();
    if (!screen.dirty) return;
    ComposeWin32Display(screen.console, screen.help, screen.view.rows, screen.display);
    screen.calls.clear();
    RenderWin32(screen.view, screen.display, screen.calls);
    MakeCalls(screen.calls);
    screen.dirty = false;
}

void RestoreConsole() {
    if (InterlockedExchange(&restored, 1) != 0) return;
    if (timerRaised) timeEndPeriod(1);
    if (!outputIsConsole) return;
    if (saved.haveAttribute) SetConsoleTextAttribute(output, saved.attribute);
    if (saved.haveCursorInfo) SetConsoleCursorInfo(output, &saved.cursorInfo);
    if (saved.haveInputMode) SetConsoleMode(input, saved.inputMode);
    if (saved.outputCodePage != 0) SetConsoleOutputCP(saved.outputCodePage);
}

// A line in the console's own characters whatever its code page now is.
void WriteShiftJisLine(const std::string& line) {
    std::string text = line + "\r\n";
    DWORD written = 0;
    int wide = MultiByteToWideChar(kShiftJisCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (outputIsConsole && wide > 0) {
        std::wstring utf16(static_cast<std::size_t>(wide), L' ');
        MultiByteToWideChar(kShiftJisCodePage, 0, text.data(), static_cast<int>(text.size()), &utf16[0], wide);
        WriteConsoleW(output, utf16.data(), static_cast<DWORD>(wide), &written, nullptr);
    } else {
        WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

// The lines the game left, from the start of a row below the game's rows and
// below what the game last wrote. False when there were none.
bool WriteLeftLines() {
    if (leftLines.empty()) return false;
    if (outputIsConsole) {
        const MemoryConsole& drawn = screen.console;
        int row = drawn.cursorY + (drawn.cursorX > 0 ? 1 : 0);
        if (row < kRowBelowGame) row = kRowBelowGame;
        COORD below = {0, static_cast<SHORT>(std::min(row, 0x7FFF))};
        SetConsoleCursorPosition(output, below);
    }
    for (const std::string& line : leftLines) WriteShiftJisLine(line);
    leftLines.clear();
    return true;
}

// In a window the game opened for itself, which closes with it: the closing
// lines stay until a key (or until the window is closed). Keys typed before
// the line asked for one do not count.
void WaitForClosingKey() {
    if (!ownsWindow || !inputIsConsole || !outputIsConsole) return;
    WriteShiftJisLine(kTextPressAnyKeyToClose);
    if (quitEvent) ResetEvent(quitEvent);
    WaitForAnyKey(input, quitEvent);
}

// The last present, without the key help; the console given back; the lines
// the game left, kept on screen for a key when the player ended the game in a
// window that closes with it; then the status.
[[noreturn]] void Finish(UINT status, bool playersEnding) {
    quitting = true;
    if (quitBegunEvent) SetEvent(quitBegunEvent);
    if (screen.help != "") {
        screen.help.clear();
        screen.dirty = true;
    }
    Present();
    RestoreConsole();
    if (WriteLeftLines() && playersEnding) WaitForClosingKey();
    ExitProcess(status);
}

// Ends the game in order on the main thread: the game's handler, then as Finish.
[[noreturn]] void Quit(UINT status, bool playersEnding) {
    quitting = true;
    if (quitBegunEvent) SetEvent(quitBegunEvent);
    if (void (*handler)() = quitHandler) {
        quitHandler = nullptr;
        handler();
    }
    Finish(status, playersEnding);
}

// Waits up to `milliseconds` for a closing console's call, then answers it.
void PauseFor(DWORD milliseconds) {
    if (!quitEvent || WaitForSingleObject(quitEvent, milliseconds) == WAIT_FAILED) ::Sleep(milliseconds);
}

// The main thread's check at every wait: a closing console asked it to end.
// Not while the game is already being ended (its handler may wait too).
void QuitIfAsked() {
    if (!quitting && quitEvent && WaitForSingleObject(quitEvent, 0) == WAIT_OBJECT_0) {
        Quit(static_cast<UINT>(quitStatus), quitByKey != 0);
    }
}

// Runs on a thread of its own when Ctrl+Break is pressed or the console is
// closed (Ctrl+C normally comes as a key): the main thread ends the game in order at
// its next wait, which is never far off; if it has not within the time a
// closing console allows, the console is given back and the program ends here.
// Ctrl+C is the player's: once the main thread has begun ending the game, it
// finishes there, and may keep the window open for a key.
BOOL WINAPI OnConsoleControl(DWORD event) {
    // Ctrl+C still comes this way where the console ignores the input mode
    // (Wine on a terminal): it ends the game as the key does.
    quitStatus = static_cast<LONG>(event == CTRL_BREAK_EVENT ? kControlCExitStatus : quitKeyStatus);
    quitByKey = event == CTRL_C_EVENT ? 1 : 0;
    if (quitEvent) SetEvent(quitEvent);
    if (event == CTRL_C_EVENT && quitBegunEvent) {
        if (WaitForSingleObject(quitBegunEvent, kQuitWaitMilliseconds) == WAIT_OBJECT_0) return TRUE;
    } else {
        ::Sleep(kQuitWaitMilliseconds);
    }
    RestoreConsole();
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(quitStatus));
    return TRUE;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*) {
    RestoreConsole();
    return EXCEPTION_CONTINUE_SEARCH;
}

void RestoreAtExit() { RestoreConsole(); }

// Ctrl+C read as a key ends the game in order, unless it is already being ended.
void QuitByKey() {
    if (!quitting) Quit(static_cast<UINT>(quitKeyStatus), true);
}

// Takes the events already in the console's input: until a key is queued, or (`all`) every one.
void DrainInput(bool all = false) {
    if (!DrainInputEvents(input, keys, all)) QuitByKey();
}

// Waits up to `milliseconds` for input or a closing console, and takes what came.
void WaitForInput(DWORD milliseconds, bool all) {
    HANDLE waits[2] = {input, quitEvent};
    DWORD handles = (inputIsConsole ? 1 : 0) + (quitEvent ? 1 : 0);
    HANDLE* first = inputIsConsole ? waits : waits + 1;
    if (handles == 0 || WaitForMultipleObjects(handles, first, FALSE, milliseconds) == WAIT_FAILED) {
        ::Sleep(std::min<DWORD>(milliseconds, kNoInputRetryMilliseconds));
    }
    QuitIfAsked();
    if (inputIsConsole) DrainInput(all);
}

// While the console window is too small to show the game, the game stands
// still: the notice shows, keys typed meanwhile are dropped, and the game's
// call returns only once the window is large enough again, with the game drawn
// whole. Returns how long it stood still, in microseconds.
long long HoldWhileTooSmall() {
    if (quitting || !outputIsConsole) return 0;
    LookAtSize();
    if (!Win32TooSmall(screen.view)) return 0;
    long long start = MonotonicUs();
    int keysBefore = keys.count;
    Present();
    while (Win32TooSmall(screen.view)) {
        WaitForInput(kNoticeLookMilliseconds, true);
        LookAtSize();
        Present();  // the notice again, for the window's new size
    }
    if (inputIsConsole) DrainInput(true);
    keys.count = keysBefore;
    Present();
    return MonotonicUs() - start;
}

// Waits until the deadline (later by as long as the game stood still behind
// the size notice), answering a closing console and redrawing after a resize.
void WaitUntil(long long& deadlineUs) {
    for (long long left = deadlineUs - MonotonicUs(); left > 0; left = deadlineUs - MonotonicUs()) {
        PauseFor(static_cast<DWORD>(std::min<long long>((left + 999) / 1000, kSizeLookMilliseconds)));
        QuitIfAsked();
        deadlineUs += HoldWhileTooSmall();
        Present();  // a resize during the wait draws the game anew
    }
}

}  // namespace

void PlatformStart() {
    output = GetStdHandle(STD_OUTPUT_HANDLE);
    input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    outputIsConsole = output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode);
    inputIsConsole = input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &mode);
    // Alone in its console, the game opened the window itself (a double-click).
    DWORD processes[2];
    ownsWindow = outputIsConsole && GetConsoleProcessList(processes, 2) == 1;
    // The ways out other than PlatformExit, arranged before the console changes.
    quitEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    quitBegunEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    SetUnhandledExceptionFilter(OnCrash);
    std::atexit(RestoreAtExit);
    timerRaised = timeBeginPeriod(1) == TIMERR_NOERROR;
    ResetMemoryConsole(screen.console);
    ResetWin32View(screen.view, kConsoleColumns, kConsoleRows);
    if (outputIsConsole) {
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (GetConsoleScreenBufferInfo(output, &info)) {
            saved.haveAttribute = true;
            saved.attribute = info.wAttributes;
        }
        if (GetConsoleCursorInfo(output, &saved.cursorInfo)) {
            saved.haveCursorInfo = true;
            CONSOLE_CURSOR_INFO hidden = saved.cursorInfo;
            hidden.bVisible = FALSE;
            SetConsoleCursorInfo(output, &hidden);
        }
        UINT codePage = GetConsoleOutputCP();
        if (codePage != kShiftJisCodePage && SetConsoleOutputCP(kShiftJisCodePage)) {
            saved.outputCodePage = codePage;
        }
    }
    if (inputIsConsole) {
        // Ctrl+C comes as a key, so that the game ends in order with status 0;
        // a new buffer size comes as an event.
        if (GetConsoleMode(input, &saved.inputMode)) {
            saved.haveInputMode = true;
            DWORD raw = (saved.inputMode & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT)) | ENABLE_WINDOW_INPUT;
            SetConsoleMode(input, raw);
        }
        if (!PrimeInputEvents(input, keys)) QuitByKey();
    }
    Present();
}

bool PlatformPlaceCursor(int x, int y) { return PlaceMemoryCursor(screen.console, x, y); }

void PlatformSetAttribute(unsigned attribute) { screen.console.attribute = attribute; }

// Into the console in memory; shown at the next present. Output that is no
// console (a file, a pipe) takes the bytes as they come.
void PlatformWrite(const char* bytes, std::size_t count) {
    if (!outputIsConsole) {
        WriteBytes(bytes, count);
        return;
    }
    WriteMemoryConsole(screen.console, bytes, count);
    screen.dirty = true;
}

// Never blocks: the game polls here only where it has something else to do.
bool PlatformKeyWaiting() {
    HoldWhileTooSmall();
    Present();
    QuitIfAsked();
    if (keys.count == 0 && inputIsConsole) DrainInput();
    return keys.count > 0;
}

// Waits in ReadConsoleInput until a key: where the game reads without polling
// first, only a key can take it on. The wait looks at the window's size now
// and then, since a shorter window sends no event.
int PlatformReadKey() {
    for (;;) {
        HoldWhileTooSmall();
        if (keys.count > 0) return PopKey(keys);
        Present();
        WaitForInput(outputIsConsole ? kSizeLookMilliseconds : INFINITE, false);
    }
}

void PlatformSleep(unsigned milliseconds) {
    HoldWhileTooSmall();
    Present();
    long long deadline = SleepDeadline(pacer, MonotonicUs(), milliseconds);
    WaitUntil(deadline);
    SleepEnded(pacer, deadline, MonotonicUs());
}

// The key help goes on the row below the game, drawn again at every present
// whatever the game wrote over that row.
void PlatformShowHint(const char* text) {
    std::string help = text ? text : "";
    if (help == screen.help) return;
    screen.help = help;
    screen.dirty = true;
}

// Each frame of the scroll is shown whole, a frame's pace after the last.
void PlatformShowFrame() {
    HoldWhileTooSmall();
    long long due = FrameDeadline(framePacer, MonotonicUs(), kScrollFrameMs);
    WaitUntil(due);
    QuitIfAsked();
    Present();
    SleepEnded(framePacer, due, MonotonicUs());
}

void PlatformLeaveLine(const char* text) { leftLines.emplace_back(text); }

// The command line comes in the system's code page, as the labels' 932 on a
// Japanese Windows.
void PlatformLeaveCommand(const char* label, const char* command) { leftLines.push_back(std::string(label) + command); }

void PlatformLeavePath(const char* label, const char* path) {
    std::string line = label;
    char folder[MAX_PATH * 2];
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length > 0 && length < sizeof folder) line += std::string(folder, length) + "\\";
    leftLines.push_back(line + path);
}

void PlatformOnQuit(void (*handler)(), int status) {
    quitHandler = handler;
    quitKeyStatus = status;
}

long long PlatformMilliseconds() { return MonotonicUs() / 1000; }

long long PlatformSeconds() { return static_cast<long long>(std::time(nullptr)); }

// The game's own end (its fatal stop, a replay's end) is the player's to read:
// in a window that closes with the game, the lines wait for a key.
void PlatformExit(int status) { Finish(static_cast<UINT>(status), true); }
