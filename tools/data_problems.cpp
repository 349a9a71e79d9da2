#include "tools/data_problems.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "records/text_reader.h"

namespace {

std::string ShownPath(const char* path) {
    std::string shown = path;
    for (char& c : shown)
        if (c == '\\') c = '/';
    return shown;
}

bool IsSjisLead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }
bool IsSjisTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

// A problem of a name or glyph item, if it has one.
std::string TextItemProblem(const ItemRule& rule, const std::string& text, long length) {
    int bad = FirstBadSjisByte(text);
    if (bad >= 0) return Format("%s is not valid Shift-JIS at byte %d (code page 932 text)", rule.name.c_str(), bad + 1);
    if (rule.kind == kGlyphItem) {
        bool oneWide = length == 2 && IsSjisLead(static_cast<unsigned char>(text[0]));
        if (!oneWide) {
            return Format("%s \"%s\" is not one full-width character (one double-byte character)", rule.name.c_str(),
                          text.c_str());
        }
    } else if (length > rule.high) {
        return Format("%s is %ld bytes long (at most %lld)", rule.name.c_str(), length, rule.high);
    }
    return "";
}

}  // namespace

std::string Format(const char* format, ...) {
    char text[400];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

void ReportProblem(ProblemList& problems, const char* path, int item, const std::string& text) {
    auto limit = problems.readable.find(path);
    if (limit != problems.readable.end() && item > limit->second) return;
    if (item > 0 && !problems.reported.insert({path, item}).second) return;
    std::string line = ShownPath(path) + ": ";
    if (item > 0) line += Format("item %d: ", item);
    int order = problems.fileOrder.emplace(path, static_cast<int>(problems.fileOrder.size())).first->second;
    problems.lines.push_back(line + text);
    problems.places.push_back({order, item});
}

std::vector<std::string> SortedLines(const ProblemList& problems) {
    std::vector<std::size_t> order(problems.lines.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&problems](std::size_t a, std::size_t b) { return problems.places[a] < problems.places[b]; });
    std::vector<std::string> lines;
    for (std::size_t i : order) lines.push_back(problems.lines[i]);
    return lines;
}

void ReportUnopened(ProblemList& problems, const char* path, const char* need) {
    TextReader reader;
    int error = OpenTextReader(reader, path) ? 0 : reader.openError;
    CloseTextReader(reader);
    std::string why;
    if (error == ENOENT) why = "missing";
    else if (error == 0) why = "gives no number after its name: the game takes it for missing";
    else if (error == EISDIR) why = "is a folder: the game takes it for missing";
    else if (error == ENODEV) why = "is not a regular file (a pipe or a device): the game takes it for missing";
    else why = Format("cannot be read (%s): the game takes it for missing", std::strerror(error));
    ReportProblem(problems, path, 0, Format("%s (%s)", why.c_str(), need));
}

int FirstBadSjisByte(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) continue;  // ASCII, half-width katakana
        if (!IsSjisLead(byte)) return static_cast<int>(i);
        if (i + 1 >= text.size() || !IsSjisTrail(static_cast<unsigned char>(text[i + 1]))) return static_cast<int>(i);
        ++i;
    }
    return -1;
}

int CheckFileItems(ProblemList& problems, const char* path, const std::vector<ItemRule>& rules) {
    problems.fileOrder.emplace(path, static_cast<int>(problems.fileOrder.size()));
    TextReader reader;
    if (!OpenTextReader(reader, path)) {
        ReportUnopened(problems, path, "the game needs every data file");
        problems.readable[path] = -1;
        return -1;
    }
    const int total = static_cast<int>(rules.size());
    int readable = total;
    char buffer[256];
    for (const ItemRule& rule : rules) {
        long length = ReadTextItem(reader, buffer, sizeof buffer);
        const int item = reader.items;
        if (length < 0) {
            ReportProblem(problems, path, item + 1,
                          Format("%s is missing: the file ends after item %d (%d items)", rule.name.c_str(), item, total));
            readable = item;
            break;
        }
        std::string text(buffer);
        if (rule.kind != kNumberItem) {
            std::string problem = TextItemProblem(rule, text, length);
            if (!problem.empty()) ReportProblem(problems, path, item, problem);
            continue;
        }
        long long value;
        if (!ParseWholeNumber(text.data(), text.size(), value)) {
            ReportProblem(problems, path, item,
                          Format("%s \"%s\" is not a number; the game stops reading here (%lld to %lld)",
                                 rule.name.c_str(), text.c_str(), rule.low, rule.high));
            readable = item - 1;
            break;
        }
        if (value < rule.low || value > rule.high) {
            ReportProblem(problems, path, item,
                          Format("%s %s does not fit its field (%lld to %lld)", rule.name.c_str(), text.c_str(),
                                 rule.low, rule.high));
        }
    }
    if (reader.cut) {
        ReportProblem(problems, path, 0, Format("the game reads no more than its first %ld bytes (a shorter file)",
                                                kTextFileLimit));
    }
    CloseTextReader(reader);
    problems.readable[path] = readable;
    return readable;
}
