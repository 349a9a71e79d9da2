#include "records/text_reader.h"

#include <cerrno>

#include "platform/data_files.h"
#include "platform/memory_console.h"

namespace {

char unopenedPath[256] = "";

bool IsTrailByte(int c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

int RawChar(TextReader& reader) {
    if (reader.pushedBack >= 0) {
        int c = reader.pushedBack;
        reader.pushedBack = -1;
        return c;
    }
    if (reader.bytesRead >= kTextFileLimit) {
        if (!reader.cut && std::fgetc(reader.file) != EOF) reader.cut = true;
        return EOF;
    }
    int c = std::fgetc(reader.file);
    if (c != EOF) reader.bytesRead += 1;
    return c;
}

void PushBack(TextReader& reader, int c) {
    if (c != EOF) reader.pushedBack = c;
}

// Skips white space; returns the first character after it (or EOF).
int SkipBlanks(TextReader& reader) {
    int c;
    do c = ReadTextChar(reader);
    while (c != EOF && IsBlank(c));
    return c;
}

}  // namespace

bool OpenTextReader(TextReader& reader, const char* path) {
    reader.file = PlatformOpenFile(path);
    reader.openError = reader.file ? 0 : errno;
    reader.pushedBack = -1;
    reader.items = 0;
    reader.bytesRead = 0;
    reader.cut = false;
    if (!reader.file) MarkFileUnopened(path);
    return reader.file != nullptr;
}

const char* UnopenedFilePath() { return unopenedPath; }

void MarkFileUnopened(const char* path) { std::snprintf(unopenedPath, sizeof unopenedPath, "%s", path); }

void CloseTextReader(TextReader& reader) {
    if (reader.file) std::fclose(reader.file);
    reader.file = nullptr;
}

int ReadTextChar(TextReader& reader) {
    int c = RawChar(reader);
    if (c == '\r') {
        int next = RawChar(reader);
        if (next == '\n') return '\n';
        PushBack(reader, next);
    }
    return c;
}

bool ReadTextString(TextReader& reader, char* field, std::size_t size) {
    int c = SkipBlanks(reader);
    if (c == EOF) return false;
    reader.items += 1;
    std::size_t length = 0;
    bool cut = false;  // once a character did not fit, the rest of the run is dropped
    while (c != EOF && !IsBlank(c)) {
        int trail = -1;
        if (IsLeadByte(static_cast<unsigned char>(c))) {
            trail = ReadTextChar(reader);
            if (!IsTrailByte(trail)) {
                // A lead byte without a trail byte is dropped; what follows it
                // is read as a character of its own.
                c = trail;
                continue;
            }
        }
        std::size_t width = trail >= 0 ? 2 : 1;
        if (!cut && length + width < size) {
            field[length++] = static_cast<char>(c);
            if (trail >= 0) field[length++] = static_cast<char>(trail);
        } else {
            cut = true;
        }
        c = ReadTextChar(reader);
    }
    PushBack(reader, c);
    field[length] = '\0';
    return true;
}

bool ReadTextNumber(TextReader& reader, long long& value) {
    int c = SkipBlanks(reader);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = (c == '-');
        c = ReadTextChar(reader);
    }
    if (c < '0' || c > '9') {
        PushBack(reader, c);
        return false;
    }
    reader.items += 1;
    const long long limit = 2147483647LL;
    long long magnitude = 0;
    while (c >= '0' && c <= '9') {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) magnitude = limit + (negative ? 1 : 0);
        c = ReadTextChar(reader);
    }
    PushBack(reader, c);
    value = negative ? -magnitude : magnitude;
    return true;
}

long ReadTextItem(TextReader& reader, char* buffer, std::size_t size) {
    int c = SkipBlanks(reader);
    if (size > 0) buffer[0] = '\0';
    if (c == EOF) return -1;
    reader.items += 1;
    long length = 0;
    while (c != EOF && !IsBlank(c)) {
        if (static_cast<std::size_t>(length) + 1 < size) {
            buffer[length] = static_cast<char>(c);
            buffer[length + 1] = '\0';
        }
        ++length;
        c = ReadTextChar(reader);
    }
    PushBack(reader, c);
    return length;
}

bool ParseWholeNumber(const char* text, std::size_t length, long long& value) {
    std::size_t i = (length > 0 && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (i == length) return false;
    long long magnitude = 0;
    for (; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 1000000000000000LL) magnitude = 1000000000000000LL;
    }
    value = text[0] == '-' ? -magnitude : magnitude;
    return true;
}
