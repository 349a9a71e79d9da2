// The problems the data tools find in a data tree, each said in Japanese and
// in English, and placed where the modder finds it in an editor: the file, its
// line and its column (in characters: a full-width character is one column).
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// One text in both languages (UTF-8).
struct ProblemText {
    std::string ja;
    std::string en;
};

struct Problem {
    std::string path;  // as the game names it, with '\'
    int line;          // from 1; 0 for the whole file
    int column;        // from 1; 0 for the whole line
    ProblemText text;
};

// How a data file is written: only CP932 text reads as the game means it.
enum FileEncoding { kCp932, kUtf8, kUtf8WithBom, kUtf16, kNotCp932 };

struct ProblemList {
    std::vector<Problem> found;
    std::map<std::string, int> fileOrder;  // the order in which files were first named
    // The folder the files lie in, as the modder named it ("" or "." for the
    // working directory): the commands in problem texts name files below it.
    std::string root;
    // Per file, the items the game reads before it stops: problems of later
    // items are not reported, since the game never reads them.
    std::map<std::string, int> readable;
    // Items already reported: one line per item, the first problem found.
    std::set<std::pair<std::string, int>> reported;
    // Files written in another encoding: that is their one problem, since
    // everything else in them reads wrong until they are converted.
    std::set<std::string> wrongEncoding;
    std::map<std::string, std::string> bytes;  // each file's bytes, read once
};

// printf into a string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// "file: line L, column C: text" (English) or "file: L行 C列: text" (Japanese),
// sorted by file in the order the files were first named, then by place
// (problems of a whole file first).
std::vector<std::string> SortedLines(const ProblemList& problems, bool english);

// Adds a problem at a place of a file (line 0: the whole file; column 0: the
// whole line). The path is given as the game names it, with '\'; the line
// shows it with '/'. Dropped for a file whose encoding is wrong.
void ReportProblem(ProblemList& problems, const char* path, int line, int column, const ProblemText& text);

// Adds a problem of item `item` (the file's white-space separated words,
// counted from 1), placed at the item's first character. One per item; none
// past the items the game reads.
void ReportItemProblem(ProblemList& problems, const char* path, int item, const ProblemText& text);

// Reports a file the game cannot open, or that gives no number, which the
// game takes for missing too: "missing", "is a folder"... `need` says what the
// game does without it.
void ReportUnopened(ProblemList& problems, const char* path, const ProblemText& need);

// The file's bytes as the game reads them (at most its first kTextFileLimit),
// "" when it cannot be opened.
const std::string& FileBytes(ProblemList& problems, const char* path);

// Finds out how the file is written and reports one problem when it is not
// CP932 text: UTF-8 or UTF-16 with the iconv command that converts it, or the
// first byte that is no CP932 character. Files in another encoding get no
// other problem.
FileEncoding CheckFileEncoding(ProblemList& problems, const char* path);

// The file's text as CP932 bytes: converted when it is UTF-8 (so that a map
// saved as UTF-8 can still be walked as meant), as it is otherwise.
std::string FileTextAsCp932(ProblemList& problems, const char* path);

// Line and column (from 1, in characters) of byte `offset` of CP932 text.
std::pair<int, int> PlaceOfByte(const std::string& text, std::size_t offset);

// What the game does without most of its files.
extern const ProblemText kGameDoesNotStart;

// What one item of a data file must be.
enum ItemKind { kNameItem, kGlyphItem, kNumberItem };
struct ItemRule {
    ProblemText name;  // what the item holds, as a problem names it
    ItemKind kind;
    long long low;     // the values the game plays with; for a name, high is
    long long high;    // its longest length in bytes
    long long fieldLow;   // what the number's field can hold at all
    long long fieldHigh;
    ProblemText whyLow;   // what goes wrong below low and above high ("" for
    ProblemText whyHigh;  // the plain range)
    ProblemText where;    // for a name: where it is shown
};

// Reads a data file item by item and reports what the game cannot read as
// meant: a missing file, a file in another encoding, a file that ends early, a
// non-number where a number belongs, a number outside its field or outside the
// values the game plays with, a name too long for where it is shown, a glyph
// that is not one full-width character. Items after the last rule are not read
// by the game and not checked. Returns the number of items the game reads
// before it stops (problems of later items are dropped from then on), or -1
// when the file cannot be opened (`need` says what the game does without it).
int CheckFileItems(ProblemList& problems, const char* path, const std::vector<ItemRule>& rules,
                   const ProblemText& need = kGameDoesNotStart);

// "name is 14 bytes long: line 4 of the ability list holds 9 (4 full-width
// characters)", in both languages.
ProblemText NameTooLong(long length, long long limit, const ProblemText& where);

// The first byte of text that breaks the Shift-JIS (code page 932) rules or
// stands for no CP932 character, or -1.
int FirstBadSjisByte(const std::string& text);
