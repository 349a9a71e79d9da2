// Win32 backend: the game draws straight onto the Windows console through its
// API and reads the keyboard from the console's input events.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/console_io.h"
#include "platform/program.h"
#include "platform/sleep_pacer.h"
#include "platform/win32_keys.h"

namespace {

constexpr UINT kShiftJisCodePage = 932;
// The status Windows gives a program that Ctrl+Break ended.
constexpr UINT kControlCExitStatus = 0xC000013AU;
// Ctrl+C, read as a key: the player ends the game.
constexpr unsigned char kQuitKey = 3;
// How long a closing console waits for the game to end in order.
constexpr DWORD kQuitWaitMilliseconds = 4000;
// The first row below the game's, where the lines left at exit go.
constexpr SHORT kRowBelowGame = 21;
// How long a read waits before trying again when the input has gone.
constexpr DWORD kGoneInputRetryMilliseconds = 20;

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
SavedConsole saved;
volatile LONG restored = 0;  // set once the console has been given back
// Set by the console's control handler (window closed, Ctrl+Break, log-off);
// the game's next wait ends the game in order on the main thread.
HANDLE quitEvent = nullptr;
volatile LONG quitStatus = 0;
void (*quitHandler)() = nullptr;
int quitKeyStatus = 0;  // the status Ctrl+C ends with
std::vector<std::string> leftLines;  // Shift-JIS, written after the console is given back

// Key codes read from the console but not yet handed to the game. A press with
// a repeat count, or an arrow's two codes, fill more than one slot.
constexpr int kPendingSize = 64;
int pending[kPendingSize];
int pendingHead = 0;
int pendingCount = 0;
SleepPacer pacer;            // animation frames keep to their deadlines
// The system timer ticks every millisecond while the game runs (else every
// 15.6 ms, which would stretch a 1 ms frame fifteenfold and a 50 ms one by a quarter).
bool timerRaised = false;

void PushCode(int code) {
    if (pendingCount == kPendingSize) return;  // a flood of repeats: the rest are dropped
    pending[(pendingHead + pendingCount) % kPendingSize] = code;
    ++pendingCount;
}

int PopCode() {
    int code = pending[pendingHead];
    pendingHead = (pendingHead + 1) % kPendingSize;
    --pendingCount;
    return code;
}

// Microseconds of the performance counter, which keeps going across sleeps.
long long MonotonicUs() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart / frequency.QuadPart * 1000000 + now.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
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

// The lines the game left, below the game's rows, in the console's own
// characters whatever its code page now is.
void WriteLeftLines() {
    if (leftLines.empty()) return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (outputIsConsole && GetConsoleScreenBufferInfo(output, &info) && info.dwCursorPosition.Y < kRowBelowGame) {
        COORD below = {0, kRowBelowGame};
        SetConsoleCursorPosition(output, below);
    }
    for (const std::string& line : leftLines) {
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
    leftLines.clear();
}

// Ends the game in order on the main thread: the game's handler, the console
// given back, the lines left for the player, then the status.
[[noreturn]] void Quit(UINT status) {
    if (void (*handler)() = quitHandler) {
        quitHandler = nullptr;
        handler();
    }
    RestoreConsole();
    WriteLeftLines();
    ExitProcess(status);
}

// Waits up to `milliseconds` for a closing console's call, then answers it.
void PauseFor(DWORD milliseconds) {
    if (!quitEvent || WaitForSingleObject(quitEvent, milliseconds) == WAIT_FAILED) ::Sleep(milliseconds);
}

// The main thread's check at every wait: a closing console asked it to end.
void QuitIfAsked() {
    if (quitEvent && WaitForSingleObject(quitEvent, 0) == WAIT_OBJECT_0) Quit(static_cast<UINT>(quitStatus));
}

// Runs on a thread of its own when Ctrl+Break is pressed or the console is
// closed (Ctrl+C normally comes as a key): the main thread ends the game in order at
// its next wait, which is never far off; if it has not within the time a
// closing console allows, the console is given back and the program ends here.
BOOL WINAPI OnConsoleControl(DWORD event) {
    // Ctrl+C still comes this way where the console ignores the input mode
    // (Wine on a terminal): it ends the game as the key does.
    quitStatus = static_cast<LONG>(event == CTRL_BREAK_EVENT ? kControlCExitStatus : quitKeyStatus);
    if (quitEvent) SetEvent(quitEvent);
    ::Sleep(kQuitWaitMilliseconds);
    RestoreConsole();
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(quitStatus));
    return TRUE;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*) {
    RestoreConsole();
    return EXCEPTION_CONTINUE_SEARCH;
}

void RestoreAtExit() { RestoreConsole(); }

ConsoleKeyRecord KeyRecordOf(const KEY_EVENT_RECORD& event) {
    ConsoleKeyRecord record;
    record.keyDown = event.bKeyDown != FALSE;
    record.repeatCount = event.wRepeatCount;
    record.virtualKeyCode = event.wVirtualKeyCode;
    record.virtualScanCode = event.wVirtualScanCode;
    record.asciiChar = static_cast<unsigned char>(event.uChar.AsciiChar);
    record.enhancedKey = (event.dwControlKeyState & ENHANCED_KEY) != 0;
    return record;
}

// Reads one console input event (waiting for one when none is there) and
// queues the codes of a key press.
void ReadOneEvent() {
    INPUT_RECORD event;
    DWORD count = 0;
    if (!ReadConsoleInputA(input, &event, 1, &count) || count == 0) {
        ::Sleep(kGoneInputRetryMilliseconds);  // the input is gone; do not spin on it
        return;
    }
    if (event.EventType != KEY_EVENT) return;
    ConsoleKeyRecord record = KeyRecordOf(event.Event.KeyEvent);
    if (record.keyDown && record.asciiChar == kQuitKey) Quit(static_cast<UINT>(quitKeyStatus));
    int codes[2];
    int n = TranslateConsoleKey(record, codes);
    int presses = record.repeatCount == 0 ? 1 : record.repeatCount;
    for (int press = 0; press < presses; ++press) {
        for (int i = 0; i < n; ++i) PushCode(codes[i]);
    }
}

// One console read done at once at start: a focus event is put into the input
// and read back. Some consoles (Wine's) report no waiting key until a first
// read has been made; on Windows it changes nothing. A key typed before the
// start may be read instead of the focus event, so it is queued as usual.
void PrimeInput() {
    INPUT_RECORD focus = {};
    focus.EventType = FOCUS_EVENT;
    focus.Event.FocusEvent.bSetFocus = TRUE;
    DWORD count = 0;
    if (WriteConsoleInputA(input, &focus, 1, &count) && count == 1) ReadOneEvent();
}

// Queues the codes of every event already in the console's input, never waiting.
void DrainInput() {
    DWORD waiting = 0;
    while (pendingCount == 0 && GetNumberOfConsoleInputEvents(input, &waiting) && waiting > 0) {
        ReadOneEvent();
    }
}

}  // namespace

void PlatformStart() {
    output = GetStdHandle(STD_OUTPUT_HANDLE);
    input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    outputIsConsole = output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode);
    inputIsConsole = input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &mode);
    // The ways out other than PlatformExit, arranged before the console changes.
    quitEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    SetUnhandledExceptionFilter(OnCrash);
    std::atexit(RestoreAtExit);
    timerRaised = timeBeginPeriod(1) == TIMERR_NOERROR;
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
        // Ctrl+C comes as a key, so that the game ends in order with status 0.
        if (GetConsoleMode(input, &saved.inputMode)) {
            saved.haveInputMode = true;
            SetConsoleMode(input, saved.inputMode & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT));
        }
        PrimeInput();
    }
}

bool PlatformPlaceCursor(int x, int y) {
    if (x < 0 || y < 0 || x > 0x7FFF || y > 0x7FFF) return false;
    COORD place;
    place.X = static_cast<SHORT>(x);
    place.Y = static_cast<SHORT>(y);
    return SetConsoleCursorPosition(output, place) != FALSE;
}

void PlatformSetAttribute(unsigned attribute) {
    SetConsoleTextAttribute(output, static_cast<WORD>(attribute));
}

// The console takes the bytes in its output code page, 932 since the start; the
// C runtime's stdio would pass them through its own code-page handling.
void PlatformWrite(const char* bytes, std::size_t count) {
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

// Never blocks: the game polls here only where it has something else to do.
bool PlatformKeyWaiting() {
    QuitIfAsked();
    if (pendingCount == 0 && inputIsConsole) DrainInput();
    return pendingCount > 0;
}

// Waits in ReadConsoleInput until a key: where the game reads without polling
// first, only a key can take it on.
int PlatformReadKey() {
    HANDLE waits[2] = {input, quitEvent};
    // With no keyboard to read, only the console's closing ends the wait.
    DWORD handles = (inputIsConsole ? 1 : 0) + (quitEvent ? 1 : 0);
    HANDLE* first = inputIsConsole ? waits : waits + 1;
    while (pendingCount == 0) {
        if (handles == 0 || WaitForMultipleObjects(handles, first, FALSE, INFINITE) == WAIT_FAILED) {
            ::Sleep(kGoneInputRetryMilliseconds);
        }
        QuitIfAsked();
        if (inputIsConsole) DrainInput();
    }
    return PopCode();
}

void PlatformSleep(unsigned milliseconds) {
    long long deadline = SleepDeadline(pacer, MonotonicUs(), milliseconds);
    for (long long left = deadline - MonotonicUs(); left > 0; left = deadline - MonotonicUs()) {
        PauseFor(static_cast<DWORD>((left + 999) / 1000));
        QuitIfAsked();
    }
    SleepEnded(pacer, deadline, MonotonicUs());
}

// The console shows the game's cells and nothing else: the key help needs the
// rows below the game, which the game's own clearing of the console covers.
void PlatformShowHint(const char*) {}

// The console draws each frame as it is written, at its own pace.
void PlatformShowFrame() { QuitIfAsked(); }

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

long long PlatformSeconds() { return static_cast<long long>(std::time(nullptr)); }

void PlatformExit(int status) {
    RestoreConsole();
    WriteLeftLines();
    ExitProcess(static_cast<UINT>(status));
}
