// Reading the game's text files item by item: strings and decimal numbers
// separated by white space, and single characters. A CR LF pair reads as one
// line break on every platform. No more than kTextFileLimit bytes are read
// from one file: past them it reads as ended, so that a file of any size (or a
// sparse one, all zeros) cannot hold the game up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Far more than any data file of the game holds.
constexpr long kTextFileLimit = 1L << 20;

struct TextReader {
    std::FILE* file;
    int pushedBack;  // a character read ahead, or -1
    int items;       // items read so far (strings, numbers, raw items), for checking tools
    long bytesRead;
    bool cut;        // the file goes on past kTextFileLimit, which was read as its end
    int openError;   // why the file could not be opened (an errno value), 0 when open
};

// Opens a data file (backslash path, relative to the working directory). Only
// a regular file opens; anything else counts as missing.
bool OpenTextReader(TextReader& reader, const char* path);
// The path of the last file that could not be opened, or that was found
// useless as if missing ("" before any), for the fatal stop to name it.
const char* UnopenedFilePath();
// Counts a file that opened as one that could not be (it held nothing to read).
void MarkFileUnopened(const char* path);
void CloseTextReader(TextReader& reader);

// The next character (a CR LF pair gives '\n'), or EOF.
int ReadTextChar(TextReader& reader);

// The next run of non-blank characters into field (size bytes with its zero).
// A longer run is cut at a character boundary: a double-byte character is never
// split. Returns false at the end of the file.
bool ReadTextString(TextReader& reader, char* field, std::size_t size);

// The next decimal integer, optionally signed. Returns false, consuming nothing
// but blanks, when the next item does not start with a number. Digits past the
// range of a 32-bit number saturate rather than overflow.
bool ReadTextNumber(TextReader& reader, long long& value);

// For checking tools: the next run of non-blank bytes exactly as written, with
// no character rules applied. At most size - 1 bytes are kept in buffer (with
// its zero); returns the run's full length, or -1 at the end of the file.
long ReadTextItem(TextReader& reader, char* buffer, std::size_t size);

// Stores a number in a field of its width: the low 16 or 32 bits.
inline uint16_t Low16(long long value) { return static_cast<uint16_t>(static_cast<unsigned long long>(value)); }
inline uint32_t Low32(long long value) { return static_cast<uint32_t>(static_cast<unsigned long long>(value)); }

// For checking tools and the save: whether a whole item is a decimal number
// as the reader takes one, an optional sign and then digits only ("12ab" is
// not: the reader would take 12 and stop at "ab"). Values past every field's
// range are held at 10^15.
bool ParseWholeNumber(const char* text, std::size_t length, long long& value);
