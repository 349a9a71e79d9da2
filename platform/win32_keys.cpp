#include "platform/win32_keys.h"

namespace {

// Keys that only change what other keys do.
bool IsModifierKey(unsigned short virtualKey) {
    switch (virtualKey) {
        case kVirtualKeyShift:
        case kVirtualKeyControl:
        case kVirtualKeyAlt:
        case kVirtualKeyCapsLock:
        case kVirtualKeyNumLock:
        case kVirtualKeyScrollLock:
            return true;
        default:
            return virtualKey >= 0xA0 && virtualKey <= 0xA5;  // left and right Shift, Ctrl, Alt
    }
}

// The arrows' scan codes are fixed by their virtual keys, so that an arrow
// arrives right even when the console sends no scan code with it.
int ArrowScanCode(unsigned short virtualKey) {
    switch (virtualKey) {
        case kVirtualKeyUp: return 72;
        case kVirtualKeyLeft: return 75;
        case kVirtualKeyRight: return 77;
        case kVirtualKeyDown: return 80;
        default: return 0;
    }
}

}  // namespace

int TranslateConsoleKey(const ConsoleKeyRecord& record, int codes[2]) {
    if (!record.keyDown) return 0;
    if (record.asciiChar != 0) {
        codes[0] = record.asciiChar;
        return 1;
    }
    if (IsModifierKey(record.virtualKeyCode)) return 0;
    int scanCode = ArrowScanCode(record.virtualKeyCode);
    if (scanCode == 0) scanCode = record.virtualScanCode & 0xFF;
    if (scanCode == 0) return 0;
    codes[0] = record.enhancedKey ? 224 : 0;
    codes[1] = scanCode;
    return 2;
}
