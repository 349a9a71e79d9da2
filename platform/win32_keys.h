// Turning the Windows console's key events into the game's key codes, one code
// per read as the console keyboard gives them: a character's own code, or a
// prefix (224 for the grey keys, 0 for the number pad) and a scan code for a key
// without a character, such as an arrow. Kept free of <windows.h> so that it can
// be tested anywhere.
#pragma once

// The parts of a console key event that the translation needs.
struct ConsoleKeyRecord {
    bool keyDown;                    // pressed (true) or released (false)
    unsigned short repeatCount;      // how many presses the event stands for
    unsigned short virtualKeyCode;   // the key, whatever the keyboard layout
    unsigned short virtualScanCode;  // the key's scan code
    unsigned char asciiChar;         // the character it types, 0 for none
    bool enhancedKey;                // one of the grey keys beside the letters
};

// Virtual key codes of the keys the translation treats apart.
constexpr unsigned short kVirtualKeyShift = 0x10;
constexpr unsigned short kVirtualKeyControl = 0x11;
constexpr unsigned short kVirtualKeyAlt = 0x12;
constexpr unsigned short kVirtualKeyCapsLock = 0x14;
constexpr unsigned short kVirtualKeyLeft = 0x25;
constexpr unsigned short kVirtualKeyUp = 0x26;
constexpr unsigned short kVirtualKeyRight = 0x27;
constexpr unsigned short kVirtualKeyDown = 0x28;
constexpr unsigned short kVirtualKeyNumLock = 0x90;
constexpr unsigned short kVirtualKeyScrollLock = 0x91;

// The codes one press of the key gives, in reading order: writes 0, 1 or 2
// codes to `codes` and returns how many. A release, or a key such as Shift that
// types nothing by itself, gives none.
int TranslateConsoleKey(const ConsoleKeyRecord& record, int codes[2]);
