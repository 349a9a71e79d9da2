// What a terminal shows for the console's characters: the UTF-8 text of a
// single-byte cell or of a double-byte Shift-JIS character, and how many
// columns a terminal draws it. Each is converted once, on first use.
#pragma once

#include <string>

// How wide a terminal draws a character: always one column, always two, or as
// the terminal is set up for East Asian Ambiguous characters (● ■ ※ ─ α).
enum class GlyphWidth { kNarrow, kWide, kAmbiguous };

struct Glyph {
    std::string utf8;
    GlyphWidth width;
};

// The character of a double-byte code; "?", one column, for a code with no character.
const Glyph& DoubleByteGlyph(unsigned char lead, unsigned char trail);

// True when a terminal whose Ambiguous characters are as given draws the
// glyph one column wide, so that a blank pads it to its two cells.
bool DrawnNarrow(const Glyph& glyph, bool ambiguousWide);

// The text of a single-byte cell: ASCII as it is, half-width katakana in UTF-8,
// control bytes as blanks and bytes with no character as '?'.
const std::string& SingleByteText(unsigned char byte);
