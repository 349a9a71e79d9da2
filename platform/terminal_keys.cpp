#include "platform/terminal_keys.h"

namespace {

// A sequence longer than this without its final byte is garbage and dropped.
constexpr std::size_t kLongestSequence = 32;

void PushKey(KeyDecoder& decoder, int code) {
    decoder.afterCarriageReturn = false;
    decoder.codes.push_back(code);
}

void PushArrow(KeyDecoder& decoder, unsigned char final) {
    int scanCode = 0;
    switch (final) {
        case 'A': scanCode = 72; break;
        case 'B': scanCode = 80; break;
        case 'C': scanCode = 77; break;
        case 'D': scanCode = 75; break;
        default: return;
    }
    PushKey(decoder, kKeyPrefix);
    PushKey(decoder, scanCode);
}

// An ordinary byte is its own key code; CR and LF are both Enter, and the LF
// (or NUL) some terminals send after a CR belongs to the same Enter.
void PushPlain(KeyDecoder& decoder, unsigned char byte) {
    if ((byte == '\n' || byte == 0) && decoder.afterCarriageReturn) {
        decoder.afterCarriageReturn = false;
        return;
    }
    bool carriageReturn = byte == '\r';
    PushKey(decoder, (byte == '\r' || byte == '\n') ? 13 : byte);
    decoder.afterCarriageReturn = carriageReturn;
}

// Reads "row;column" from the parameter bytes of a cursor position report.
bool ParseReport(const KeyDecoder& decoder, std::size_t from, std::size_t to, int& row, int& column) {
    int values[2] = {0, 0};
    int index = 0;
    bool digits = false;
    for (std::size_t i = from; i < to; ++i) {
        unsigned char byte = decoder.bytes[i];
        if (byte >= '0' && byte <= '9') {
            if (values[index] < 100000) values[index] = values[index] * 10 + (byte - '0');
            digits = true;
        } else if (byte == ';' && index == 0 && digits) {
            index = 1;
            digits = false;
        } else {
            return false;
        }
    }
    if (index != 1 || !digits) return false;
    row = values[0];
    column = values[1];
    return true;
}

// CSI: ESC [ parameters intermediates final. Returns the bytes it used, 0 when
// the sequence is not complete yet.
std::size_t DecodeCsi(KeyDecoder& decoder) {
    std::size_t size = decoder.bytes.size();
    std::size_t i = 2;
    while (i < size && decoder.bytes[i] >= 0x30 && decoder.bytes[i] <= 0x3F) ++i;
    std::size_t parametersEnd = i;
    while (i < size && decoder.bytes[i] >= 0x20 && decoder.bytes[i] <= 0x2F) ++i;
    if (i == size) return size >= kLongestSequence ? size : 0;
    unsigned char final = decoder.bytes[i];
    // A byte that cannot end the sequence ends it anyway and is read as a key.
    if (final < 0x40 || final > 0x7E) return i;
    int row = 0;
    int column = 0;
    if (final >= 'A' && final <= 'D') {
        PushArrow(decoder, final);  // also with modifiers, as in ESC [ 1 ; 5 A
    } else if (final == 'R' && parametersEnd == i && ParseReport(decoder, 2, parametersEnd, row, column)) {
        decoder.hasCursorReport = true;
        decoder.reportRow = row;
        decoder.reportColumn = column;
    }
    return i + 1;
}

// The escape sequence at the front of the bytes. Returns the bytes it used, 0
// when it is not complete yet.
std::size_t DecodeEscape(KeyDecoder& decoder) {
    std::size_t size = decoder.bytes.size();
    if (size < 2) return 0;
    unsigned char second = decoder.bytes[1];
    if (second == '[') return DecodeCsi(decoder);
    if (second == 'O') {
        if (size < 3) return 0;
        unsigned char final = decoder.bytes[2];
        if (final >= 0x40 && final <= 0x7E) {
            if (final == 'M') {
                PushKey(decoder, 13);  // keypad Enter
            } else {
                PushArrow(decoder, final);
            }
            return 3;
        }
    }
    // Escape followed by an ordinary byte: two keys (Alt held, or Escape typed
    // quickly before another key).
    PushKey(decoder, kKeyEscape);
    return 1;
}

void Decode(KeyDecoder& decoder) {
    while (!decoder.bytes.empty()) {
        unsigned char byte = decoder.bytes.front();
        if (byte != kKeyEscape) {
            decoder.bytes.pop_front();
            PushPlain(decoder, byte);
            continue;
        }
        std::size_t used = DecodeEscape(decoder);
        if (used == 0) return;
        decoder.bytes.erase(decoder.bytes.begin(), decoder.bytes.begin() + static_cast<long>(used));
    }
}

}  // namespace

void FeedKeyBytes(KeyDecoder& decoder, const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) decoder.bytes.push_back(static_cast<unsigned char>(bytes[i]));
    Decode(decoder);
}

bool KeyDecoderWaiting(const KeyDecoder& decoder) { return !decoder.bytes.empty(); }

void SettleKeyDecoder(KeyDecoder& decoder) {
    if (decoder.bytes.empty()) return;
    if (decoder.bytes.size() <= 2) {
        // A lone Escape, or Escape and '[' or 'O' typed as keys.
        PushKey(decoder, kKeyEscape);
        if (decoder.bytes.size() == 2) PushPlain(decoder, decoder.bytes[1]);
    }
    decoder.bytes.clear();
}

bool TakeKeyCode(KeyDecoder& decoder, int& code) {
    if (decoder.codes.empty()) return false;
    code = decoder.codes.front();
    decoder.codes.pop_front();
    return true;
}
