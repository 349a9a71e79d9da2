#include "platform/terminal_glyphs.h"

#include <unordered_map>

#include "platform/sjis_utf8.h"

namespace {

// The first code point of UTF-8 text, and how many bytes it takes (0 if none).
std::size_t DecodeCodePoint(const std::string& text, char32_t& codePoint) {
    if (text.empty()) return 0;
    unsigned char first = static_cast<unsigned char>(text[0]);
    std::size_t length = first < 0x80 ? 1 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 0;
    if (length == 0 || length > text.size()) return 0;
    codePoint = length == 1 ? first : first & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) codePoint = (codePoint << 6) | (text[i] & 0x3F);
    return length;
}

// East Asian Wide and Fullwidth code points: every terminal draws them two
// columns wide. Every other character of a double-byte Shift-JIS code is
// Ambiguous (Greek, Cyrillic, box drawing, ● ■ ○ ※ and the like).
bool IsWideCodePoint(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

const Glyph& DoubleByteGlyph(unsigned char lead, unsigned char trail) {
    static std::unordered_map<unsigned, Glyph> glyphs;
    unsigned key = (static_cast<unsigned>(lead) << 8) | trail;
    auto found = glyphs.find(key);
    if (found != glyphs.end()) return found->second;
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    Glyph glyph{SjisToUtf8(bytes, 2), GlyphWidth::kAmbiguous};
    char32_t codePoint = 0;
    std::size_t length = DecodeCodePoint(glyph.utf8, codePoint);
    if (length == 0 || length != glyph.utf8.size() || codePoint < 0x80) {
        glyph = Glyph{"?", GlyphWidth::kNarrow};  // a code with no character
    } else if (IsWideCodePoint(codePoint)) {
        glyph.width = GlyphWidth::kWide;
    }
    return glyphs.emplace(key, glyph).first->second;
}

bool DrawnNarrow(const Glyph& glyph, bool ambiguousWide) {
    return glyph.width == GlyphWidth::kNarrow || (glyph.width == GlyphWidth::kAmbiguous && !ambiguousWide);
}

const std::string& SingleByteText(unsigned char byte) {
    static std::string texts[256];
    static bool ready = false;
    if (!ready) {
        for (int b = 0; b < 256; ++b) {
            if (b >= 0x20 && b < 0x7F) {
                texts[b] = std::string(1, static_cast<char>(b));
            } else if (b < 0x20 || b == 0x7F) {
                texts[b] = " ";
            } else if (b >= 0xA1 && b <= 0xDF) {
                const char katakana = static_cast<char>(b);
                texts[b] = SjisToUtf8(&katakana, 1);
            } else {
                texts[b] = "?";
            }
        }
        ready = true;
    }
    return texts[byte];
}
