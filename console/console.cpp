#include "console/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "console/texts.h"
#include "platform/journal.h"

namespace {

std::string keyHint;

}  // namespace

ConsoleCursor consoleCursor = {0, 0};
uint16_t textAttribute = 0;
int16_t panelColumn = 1;
int16_t viewColumn = 25;

void SetCursor(int x, int y) {
    consoleCursor.X = static_cast<int16_t>(x);
    consoleCursor.Y = static_cast<int16_t>(y);
    JournalPlaceCursor(consoleCursor.X, consoleCursor.Y);
}

void SetNormal() {
    textAttribute = kAttributeNormal;
    JournalSetAttribute(textAttribute);
}

void SetBright() {
    textAttribute = static_cast<uint16_t>(textAttribute | kAttributeBrightBit);
    JournalSetAttribute(textAttribute);
}

void WriteText(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) return;
    if (static_cast<std::size_t>(length) >= sizeof buffer) length = sizeof buffer - 1;
    JournalWrite(buffer, static_cast<std::size_t>(length));
}

void WriteLine(const char* text) {
    JournalWrite(text, std::strlen(text));
    JournalWrite("\n", 1);
}

void Sleep(unsigned milliseconds) { JournalSleep(milliseconds); }

void ShowFrame() { JournalShowFrame(); }

bool KeyWaiting() { return JournalKeyWaiting(); }

int ReadKey() { return JournalReadKey(); }

long long WallClockSeconds() { return JournalSeconds(); }

bool ConfirmKey(int code) { return code == KeyDown || code == KeyRight || code == KeyEnter; }

// Only a key can end this wait, so it waits in ReadKey rather than polling.
// Its key help stays until the next wait shows its own.
void WaitForConfirmKey() {
    ShowKeyHint(kTextHintConfirm);
    while (!ConfirmKey(ReadKey())) {
    }
}

int ReadMenuKey(const char* keyHelp) {
    ShowKeyHint(keyHelp);
    return ReadKey();
}

void ShowKeyHint(const char* text) {
    keyHint = text;
    JournalShowHint(text);
}
