#include <gtest/gtest.h>

#include <vector>

#include "console/console.h"
#include "platform/win32_keys.h"

namespace {

std::vector<int> Codes(const ConsoleKeyRecord& record) {
    int codes[2] = {-1, -1};
    int count = TranslateConsoleKey(record, codes);
    return std::vector<int>(codes, codes + count);
}

ConsoleKeyRecord Press(unsigned short virtualKey, unsigned short scanCode, unsigned char ascii,
                       bool enhanced = false) {
    return ConsoleKeyRecord{true, 1, virtualKey, scanCode, ascii, enhanced};
}

}  // namespace

TEST(Win32Keys, GreyArrowsGivePrefix224ThenTheirScanCode) {
    EXPECT_EQ(Codes(Press(kVirtualKeyUp, 0x48, 0, true)), (std::vector<int>{224, KeyUp}));
    EXPECT_EQ(Codes(Press(kVirtualKeyLeft, 0x4B, 0, true)), (std::vector<int>{224, KeyLeft}));
    EXPECT_EQ(Codes(Press(kVirtualKeyRight, 0x4D, 0, true)), (std::vector<int>{224, KeyRight}));
    EXPECT_EQ(Codes(Press(kVirtualKeyDown, 0x50, 0, true)), (std::vector<int>{224, KeyDown}));
}

TEST(Win32Keys, ArrowsKeepTheirScanCodeWhenTheConsoleSendsNone) {
    // Number-pad arrows (Num Lock off) come with prefix 0; a console may also
    // leave the scan code out, and the arrow must still arrive.
    EXPECT_EQ(Codes(Press(kVirtualKeyDown, 0x50, 0, false)), (std::vector<int>{0, KeyDown}));
    EXPECT_EQ(Codes(Press(kVirtualKeyUp, 0, 0, true)), (std::vector<int>{224, KeyUp}));
    EXPECT_EQ(Codes(Press(kVirtualKeyRight, 0, 0, false)), (std::vector<int>{0, KeyRight}));
}

TEST(Win32Keys, CharacterKeysGiveTheirCharacter) {
    EXPECT_EQ(Codes(Press(0x0D, 0x1C, '\r')), (std::vector<int>{KeyEnter}));
    EXPECT_EQ(Codes(Press(0x0D, 0x1C, '\r', true)), (std::vector<int>{KeyEnter}));  // number-pad Enter
    EXPECT_EQ(Codes(Press(0x20, 0x39, ' ')), (std::vector<int>{KeySpace}));
    EXPECT_EQ(Codes(Press('A', 0x1E, 'a')), (std::vector<int>{'a'}));
    // Capital P is the down arrow's code, as on the real console.
    EXPECT_EQ(Codes(Press('P', 0x19, 'P')), (std::vector<int>{KeyDown}));
    EXPECT_EQ(Codes(Press(0x1B, 0x01, 27)), (std::vector<int>{27}));
}

TEST(Win32Keys, ReleasesAndModifiersGiveNothing) {
    ConsoleKeyRecord release = Press(kVirtualKeyDown, 0x50, 0, true);
    release.keyDown = false;
    EXPECT_TRUE(Codes(release).empty());
    ConsoleKeyRecord letterRelease = Press('A', 0x1E, 'a');
    letterRelease.keyDown = false;
    EXPECT_TRUE(Codes(letterRelease).empty());
    EXPECT_TRUE(Codes(Press(kVirtualKeyShift, 0x2A, 0)).empty());
    EXPECT_TRUE(Codes(Press(kVirtualKeyControl, 0x1D, 0)).empty());
    EXPECT_TRUE(Codes(Press(kVirtualKeyAlt, 0x38, 0)).empty());
    EXPECT_TRUE(Codes(Press(0xA1, 0x36, 0)).empty());  // right Shift
    EXPECT_TRUE(Codes(Press(kVirtualKeyCapsLock, 0x3A, 0)).empty());
}

TEST(Win32Keys, OtherKeysWithoutCharacterGivePrefixAndScanCode) {
    EXPECT_EQ(Codes(Press(0x70, 0x3B, 0)), (std::vector<int>{0, 59}));        // F1
    EXPECT_EQ(Codes(Press(0x24, 0x47, 0, true)), (std::vector<int>{224, 71}));  // Home
    // A key the console reports without any scan code cannot be told apart.
    EXPECT_TRUE(Codes(Press(0xFF, 0, 0)).empty());
}
