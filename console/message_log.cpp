#include "console/message_log.h"

#include <cstring>

#include "console/console.h"
#include "console/texts.h"

MessageLog messageLog = {{{" "}, {" "}, {" "}, {" "}, {" "}}};

namespace {

bool IsLead(char byte) {
    unsigned char b = static_cast<unsigned char>(byte);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Length of a zero-terminated text, reading no further than limit bytes.
std::size_t BoundedLength(const char* text, std::size_t limit) {
    std::size_t length = 0;
    while (length < limit && text[length] != '\0') ++length;
    return length;
}

// A text under construction. Once a piece does not fit, the text is full and
// nothing more is added, so a cut text is always a prefix of the whole one.
struct Composer {
    LogText text{};
    std::size_t length = 0;
    bool full = false;
};

void Append(Composer& out, const char* bytes, std::size_t count) {
    std::size_t i = 0;
    while (i < count && !out.full) {
        std::size_t width = (IsLead(bytes[i]) && i + 1 < count) ? 2 : 1;
        if (out.length + width > kLogTextSize - 1) {
            out.full = true;
            break;
        }
        std::memcpy(out.text.bytes + out.length, bytes + i, width);
        out.length += width;
        i += width;
    }
}

// Head, then the inserted bytes, then the tail: the template's first blank is
// dropped. A template without a blank is kept as it is.
LogText ReplaceFirstBlank(const char* templateText, const char* insert, std::size_t insertLength) {
    Composer out;
    std::size_t length = BoundedLength(templateText, 4 * kLogTextSize);
    const char* blank = static_cast<const char*>(std::memchr(templateText, ' ', length));
    if (blank == nullptr) {
        Append(out, templateText, length);
        return out.text;
    }
    std::size_t head = static_cast<std::size_t>(blank - templateText);
    Append(out, templateText, head);
    Append(out, insert, insertLength);
    Append(out, blank + 1, length - head - 1);
    return out.text;
}

bool LineIsEmpty(const LogText& line) { return line.bytes[0] == ' '; }

}  // namespace

int LogColumn() { return viewColumn + 2; }

void ResetMessageLog() {
    for (int n = 0; n < kLogLineCount; ++n) SetLogLine(n, " ");
}

void SetLogLine(int index, const char* text) {
    if (index < 0 || index >= kLogLineCount) return;
    Composer copy;  // built apart, so text may point into the log itself
    Append(copy, text, BoundedLength(text, kLogTextSize));
    messageLog.logLines[index] = copy.text;
}

void ShiftMessageLog() {
    for (int n = kLogLineCount - 1; n >= 1; --n) messageLog.logLines[n] = messageLog.logLines[n - 1];
}

void DrawMessageLog() {
    bool typingDelay = true;
    for (int n = kLogLineCount - 1; n >= 1; --n) {
        if (!LineIsEmpty(messageLog.logLines[n])) ClearLogRow(n + 1);
        SetCursor(LogColumn(), kLogFirstRow + n);
        WriteText("%s", messageLog.logLines[n].bytes);
    }
    // The newest line is typed a byte at a time (a double-byte character shows
    // after its second byte); a confirm key writes the rest at once.
    ShowKeyHint(kTextHintTyping);
    ClearLogRow(1);
    SetCursor(LogColumn(), kLogFirstRow);
    for (const char* byte = messageLog.logLines[0].bytes; *byte != '\0'; ++byte) {
        WriteText("%c", *byte);
        if (KeyWaiting() && ConfirmKey(ReadKey())) typingDelay = false;
        if (typingDelay) Sleep(kTypingDelayMs);
    }
}

void ClearLogRow(int k) {
    if (k < 1 || k > kLogLineCount) return;
    SetCursor(LogColumn(), kLogFirstRow - 1 + k);
    WriteText("%*s", kLogRowWidth, "");
}

void ClearLogLine(int k) {
    if (k < 1 || k > kLogLineCount) return;
    ClearLogRow(k);
    SetLogLine(k - 1, " ");
}

void ClearMessageLog() {
    for (int k = 1; k <= kLogLineCount; ++k) ClearLogLine(k);
}

void LogMessage(const char* text) {
    ShiftMessageLog();
    SetLogLine(0, text);
    DrawMessageLog();
}

void LogMessage(const LogText& text) { LogMessage(text.bytes); }

void ShowMessage(const char* text) {
    LogMessage(text);
    WaitForConfirmKey();
}

void ShowMessage(const LogText& text) { ShowMessage(text.bytes); }

LogText InsertName(const char* templateText, const char* name) {
    return ReplaceFirstBlank(templateText, name, BoundedLength(name, kLogTextSize));
}

LogText InsertNumber(const char* templateText, long long value) {
    unsigned long long number = value < 0 ? 0 : static_cast<unsigned long long>(value);
    // As many digits as it takes for the number divided by 10 that many times
    // to reach 0 (at least one); then the digits, most significant first.
    int digitCount = 1;
    unsigned long long power = 1;  // 10^(digitCount - 1)
    while (number / power / 10 != 0) {
        ++digitCount;
        power *= 10;
    }
    char digits[24];
    for (int i = 0; i < digitCount; ++i, power /= 10) digits[i] = static_cast<char>('0' + number / power % 10);
    return ReplaceFirstBlank(templateText, digits, static_cast<std::size_t>(digitCount));
}

LogText InsertNumber(const LogText& templateText, long long value) { return InsertNumber(templateText.bytes, value); }
