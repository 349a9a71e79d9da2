// The battle's five-line message window: the newest message on top, typed out
// byte by byte, older ones pushed one row down, and messages composed from
// templates whose first blank takes a name or a number.
#pragma once

#include <cstddef>

constexpr int kLogLineCount = 5;
constexpr int kLogFirstRow = 13;    // line n stands on row 13 + n
constexpr int kLogRowWidth = 51;    // columns cleared per row, up to the frame's edge
constexpr unsigned kTypingDelayMs = 50;  // pause after each typed byte
constexpr std::size_t kLogTextSize = 128;  // bytes of a text, its terminating zero included

// A message text held by value. Composing, storing and dropping one never
// allocates, so a composed text cannot leak and is released exactly once, with
// whatever holds it. Longer texts are cut at a character boundary.
struct LogText {
    char bytes[kLogTextSize];
};

struct MessageLog {
    LogText logLines[kLogLineCount];  // [0] the newest, [4] the oldest
};

extern MessageLog messageLog;

// The log column: viewColumn + 2 (27 at rest).
int LogColumn();

// Every line back to the single blank, nothing drawn (program start; tests).
void ResetMessageLog();
// Stores a copy of text in line index (0..4); other indexes are ignored.
void SetLogLine(int index, const char* text);
// Moves each line one place toward the old end; the oldest text is dropped and
// line 0 keeps its text until replaced. Nothing is drawn.
void ShiftMessageLog();
// Redraws the five lines, oldest first, and types out the newest one.
void DrawMessageLog();
// Blanks row 12 + k (k from 1 to 5) from the log column, 51 columns wide.
void ClearLogRow(int k);
// ClearLogRow(k), then line k - 1 becomes the single blank.
void ClearLogLine(int k);
void ClearMessageLog();

// Shift, store the text as the newest line, draw.
void LogMessage(const char* text);
void LogMessage(const LogText& text);
// LogMessage, then wait for a confirm key.
void ShowMessage(const char* text);
void ShowMessage(const LogText& text);

// The template with its first blank replaced by the name (up to its zero).
LogText InsertName(const char* templateText, const char* name);
// The template with its first blank replaced by the value in decimal, without
// sign or leading zeros. A negative value is written as 0.
LogText InsertNumber(const char* templateText, long long value);
LogText InsertNumber(const LogText& templateText, long long value);
