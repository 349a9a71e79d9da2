// Turns the bytes a terminal sends for keys into the game's key codes: one code
// per read, an arrow as 224 followed by its scan code, Enter as 13. Pure: the
// terminal backend feeds it what it read and takes codes out.
#pragma once

#include <cstddef>
#include <deque>

struct KeyDecoder {
    std::deque<unsigned char> bytes;  // read from the terminal, not decoded yet
    std::deque<int> codes;            // decoded key codes, oldest first
    bool afterCarriageReturn = false; // the last key was a CR (a following LF is the same Enter)
    bool hasCursorReport = false;     // the terminal answered a cursor position request
    int reportRow = 0;                // 1-based row and column of that answer
    int reportColumn = 0;
};

// The key codes the terminal produces.
constexpr int kKeyPrefix = 224;
constexpr int kKeyEscape = 27;

// Adds bytes read from the terminal and decodes every complete key among them.
void FeedKeyBytes(KeyDecoder& decoder, const char* bytes, std::size_t count);

// True when the bytes left over start an escape sequence that is not complete yet.
bool KeyDecoderWaiting(const KeyDecoder& decoder);

// The terminal sent nothing more: an escape sequence still incomplete was a key
// on its own (a lone Escape gives 27) or is dropped.
void SettleKeyDecoder(KeyDecoder& decoder);

// Takes the oldest key code; false when there is none.
bool TakeKeyCode(KeyDecoder& decoder, int& code);
