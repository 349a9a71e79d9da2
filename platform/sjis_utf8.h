// Shift-JIS (CP932) to UTF-8, for showing the game's text on a UTF-8 terminal
// and in tools and tests.
#pragma once

#include <cstddef>
#include <string>

// Converts Shift-JIS bytes; a byte that cannot be converted becomes '?'.
std::string SjisToUtf8(const char* bytes, std::size_t count);
inline std::string SjisToUtf8(const std::string& bytes) { return SjisToUtf8(bytes.data(), bytes.size()); }

// Converts UTF-8 to Shift-JIS bytes (for tests and tools that write data files).
std::string Utf8ToSjis(const std::string& text);
