// Shift-JIS to UTF-8 in the browser: Emscripten's C library has no CP932, but
// every browser decodes "shift_jis" (the Windows code page, with its NEC and
// IBM extensions) with TextDecoder.
#include <emscripten.h>

#include <vector>

#include "platform/sjis_utf8.h"

// Writes the UTF-8 text, zero-terminated, into out; returns its length.
EM_JS(int, WebDecodeShiftJis, (const char* bytes, int count, char* out, int capacity), {
    if (!Module.shiftJis) Module.shiftJis = new TextDecoder("shift_jis");
    var text = Module.shiftJis.decode(HEAPU8.subarray(bytes, bytes + count)).replace(/\uFFFD/g, "?");
    return stringToUTF8(text, out, capacity);
});

std::string SjisToUtf8(const char* bytes, std::size_t count) {
    if (count == 0) return std::string();
    // A byte gives at most three bytes of UTF-8 (a half-width katakana).
    std::vector<char> out(count * 3 + 1);
    int length = WebDecodeShiftJis(bytes, static_cast<int>(count), out.data(), static_cast<int>(out.size()));
    return std::string(out.data(), static_cast<std::size_t>(length));
}

// Utf8ToSjis, for tools and tests that write data files, has no use in the page.
