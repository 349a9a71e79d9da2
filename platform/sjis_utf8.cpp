#include "platform/sjis_utf8.h"

#include <cerrno>
#include <iconv.h>

namespace {

// Converts with iconv; a byte that starts an invalid or incomplete sequence
// becomes one '?' and the conversion goes on after it.
std::string Convert(const char* from, const char* to, const char* bytes, std::size_t count) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes, count);
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(bytes);
    std::size_t inLeft = count;
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += '?';
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string SjisToUtf8(const char* bytes, std::size_t count) { return Convert("CP932", "UTF-8", bytes, count); }

std::string Utf8ToSjis(const std::string& text) { return Convert("UTF-8", "CP932", text.data(), text.size()); }
