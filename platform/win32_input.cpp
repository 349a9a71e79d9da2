#include "platform/win32_input.h"

#include "platform/win32_keys.h"

namespace {

// Ctrl+C, read as a key: the player ends the game.
constexpr unsigned char kQuitKey = 3;
// How long a read waits before trying again when the input has gone.
constexpr DWORD kGoneInputRetryMilliseconds = 20;

void PushKey(KeyQueue& keys, int code) {
    if (keys.count == KeyQueue::kSize) return;
    keys.codes[(keys.head + keys.count) % KeyQueue::kSize] = code;
    ++keys.count;
}

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

bool IsModifierKey(WORD key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_CAPITAL || key == VK_LWIN ||
           key == VK_RWIN || key == VK_NUMLOCK || key == VK_SCROLL;
}

}  // namespace

int PopKey(KeyQueue& keys) {
    int code = keys.codes[keys.head];
    keys.head = (keys.head + 1) % KeyQueue::kSize;
    --keys.count;
    return code;
}

bool ReadInputEvent(HANDLE input, KeyQueue& keys) {
    INPUT_RECORD event;
    DWORD count = 0;
    if (!ReadConsoleInputA(input, &event, 1, &count) || count == 0) {
        ::Sleep(kGoneInputRetryMilliseconds);  // the input is gone; do not spin on it
        return true;
    }
    if (event.EventType != KEY_EVENT) return true;  // a new buffer size, focus, the mouse
    ConsoleKeyRecord record = KeyRecordOf(event.Event.KeyEvent);
    if (record.keyDown && record.asciiChar == kQuitKey) return false;
    int codes[2];
    int n = TranslateConsoleKey(record, codes);
    int presses = record.repeatCount == 0 ? 1 : record.repeatCount;
    for (int press = 0; press < presses; ++press) {
        for (int i = 0; i < n; ++i) PushKey(keys, codes[i]);
    }
    return true;
}

bool DrainInputEvents(HANDLE input, KeyQueue& keys, bool all) {
    DWORD waiting = 0;
    while ((all || keys.count == 0) && GetNumberOfConsoleInputEvents(input, &waiting) && waiting > 0) {
        if (!ReadInputEvent(input, keys)) return false;
    }
    return true;
}

// A focus event is put into the input and read back. Some consoles (Wine's)
// report no waiting key until a first read has been made; on Windows it
// changes nothing. A key typed before the start may be read instead of the
// focus event, so it is queued as usual.
bool PrimeInputEvents(HANDLE input, KeyQueue& keys) {
    INPUT_RECORD focus = {};
    focus.EventType = FOCUS_EVENT;
    focus.Event.FocusEvent.bSetFocus = TRUE;
    DWORD count = 0;
    if (WriteConsoleInputA(input, &focus, 1, &count) && count == 1) return ReadInputEvent(input, keys);
    return true;
}

bool WaitForAnyKey(HANDLE input, HANDLE stop) {
    FlushConsoleInputBuffer(input);
    HANDLE waits[2] = {input, stop};
    DWORD handles = stop ? 2 : 1;
    for (;;) {
        if (WaitForMultipleObjects(handles, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return false;
        INPUT_RECORD event;
        DWORD count = 0;
        if (!ReadConsoleInputA(input, &event, 1, &count) || count == 0) return false;
        if (event.EventType == KEY_EVENT && event.Event.KeyEvent.bKeyDown &&
            !IsModifierKey(event.Event.KeyEvent.wVirtualKeyCode)) {
            return true;
        }
    }
}
