// The problems the data tools find in a data tree, one line each:
// "file: item N: what is wrong (what is allowed)", or "file: ..." for what
// concerns a whole file or a layout line. Items are the file's white-space
// separated words, counted from 1.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct ProblemList {
    std::vector<std::string> lines;
    std::vector<std::pair<int, int>> places;  // per line: the file's order of first report, and the item
    std::map<std::string, int> fileOrder;
    // Per file, the items the game reads before it stops: problems of later
    // items are not reported, since the game never reads them.
    std::map<std::string, int> readable;
    // Items already reported: one line per item, the first problem found.
    std::set<std::pair<std::string, int>> reported;
};

// printf into a string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The lines sorted by file, in the order the files were first named, and by
// item within a file (problems of a whole file or a line first, as found).
std::vector<std::string> SortedLines(const ProblemList& problems);

// Adds a problem of item `item` of the file (0: of the whole file). The path is
// given as the game names it, with '\'; the line shows it with '/'.
void ReportProblem(ProblemList& problems, const char* path, int item, const std::string& text);

// Reports a file the game cannot open, or that gives no number, which the
// game takes for missing too: "missing", "is a folder"... `need` says what the
// file is needed for, as the problem's parenthesis.
void ReportUnopened(ProblemList& problems, const char* path, const char* need);

// What one item of a data file must be.
enum ItemKind { kNameItem, kGlyphItem, kNumberItem };
struct ItemRule {
    std::string name;  // what the item holds, as a problem line names it
    ItemKind kind;
    long long low;     // a number's range in its field; a name's longest length in high
    long long high;
};

// Reads a data file item by item and reports what the game cannot read as
// meant: a missing file, a file that ends early, a non-number where a number
// belongs, a number too wide for its field, a name too long or not Shift-JIS, a
// glyph that is not one full-width character. Items after the last rule are
// not read by the game and not checked. Returns the number of items the game
// reads before it stops (problems of later items are dropped from then on), or
// -1 when the file cannot be opened.
int CheckFileItems(ProblemList& problems, const char* path, const std::vector<ItemRule>& rules);

// The first byte of text that breaks the Shift-JIS (code page 932) rules, or -1.
int FirstBadSjisByte(const std::string& text);
