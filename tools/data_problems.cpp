#include "tools/data_problems.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "platform/data_files.h"
#include "platform/posix_data_file.h"
#include "platform/sjis_utf8.h"
#include "records/text_reader.h"

namespace {

std::string ShownPath(const std::string& path) {
    std::string shown = path;
    std::replace(shown.begin(), shown.end(), '\\', '/');
    return shown;
}

bool IsSjisLead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }
bool IsSjisTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }
// White space as the game's reader takes it.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Where each white-space separated item of the text begins.
std::vector<std::size_t> ItemOffsets(const std::string& text) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsBlank(text[i]) && (i == 0 || IsBlank(text[i - 1]))) offsets.push_back(i);
    }
    return offsets;
}

bool IsUtf8(const std::string& text, bool& beyondAscii) {
    beyondAscii = false;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        int more = byte < 0x80 ? 0 : (byte & 0xE0) == 0xC0 ? 1 : (byte & 0xF0) == 0xE0 ? 2 : (byte & 0xF8) == 0xF0 ? 3 : -1;
        if (more < 0 || byte == 0xC0 || byte == 0xC1) return false;
        if (more > 0) beyondAscii = true;
        for (int k = 1; k <= more; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

// A word of a file as a problem quotes it: UTF-8, at most 24 bytes of it.
std::string Quoted(const std::string& raw) {
    std::string shown = raw.size() > 24 ? raw.substr(0, 24) : raw;
    int bad = FirstBadSjisByte(shown);
    if (bad >= 0) shown.resize(static_cast<std::size_t>(bad));
    return SjisToUtf8(shown) + (shown.size() < raw.size() ? "..." : "");
}

// A file's path for the shell, quoted when it needs it.
std::string ShellWord(const std::string& word) {
    if (word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_./-") ==
        std::string::npos) {
        return word;
    }
    std::string quoted = "'";
    for (char c : word) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The command that turns the file into CP932 text, in place.
std::string ConvertCommand(const ProblemList& problems, const char* path, FileEncoding encoding) {
    std::string root = problems.root.empty() ? "." : problems.root;
    std::string file = FindPath(root, ShownPath(path));
    if (file.compare(0, 2, "./") == 0) file.erase(0, 2);
    const std::string from = ShellWord(file), to = ShellWord(file + ".new");
    std::string convert;
    if (encoding == kUtf8WithBom) convert = "tail -c +4 " + from + " | iconv -f UTF-8 -t CP932 > " + to;
    else if (encoding == kUtf16) convert = "iconv -f UTF-16 -t CP932 " + from + " > " + to;
    else convert = "iconv -f UTF-8 -t CP932 " + from + " > " + to;
    return convert + " && mv " + to + " " + from;
}

std::string Range(long long low, long long high, bool english) {
    return english ? Format("%lld to %lld", low, high) : Format("%lld〜%lld", low, high);
}

}  // namespace

const ProblemText kGameDoesNotStart = {"ゲームはこのファイルがないと始まりません", "the game does not start without it"};

std::string Format(const char* format, ...) {
    char text[1200];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

void ReportProblem(ProblemList& problems, const char* path, int line, int column, const ProblemText& text) {
    problems.fileOrder.emplace(path, static_cast<int>(problems.fileOrder.size()));
    if (problems.wrongEncoding.count(path)) return;
    problems.found.push_back(Problem{path, line, column, text});
}

void ReportItemProblem(ProblemList& problems, const char* path, int item, const ProblemText& text) {
    auto limit = problems.readable.find(path);
    if (limit != problems.readable.end() && item > limit->second) return;
    if (!problems.reported.insert({path, item}).second) return;
    const std::string& bytes = FileBytes(problems, path);
    std::vector<std::size_t> offsets = ItemOffsets(bytes);
    int line = 0, column = 0;
    if (item >= 1 && static_cast<std::size_t>(item) <= offsets.size()) {
        std::tie(line, column) = PlaceOfByte(bytes, offsets[static_cast<std::size_t>(item - 1)]);
    }
    ReportProblem(problems, path, line, column, text);
}

std::vector<std::string> SortedLines(const ProblemList& problems, bool english) {
    std::vector<const Problem*> order;
    for (const Problem& problem : problems.found) order.push_back(&problem);
    auto key = [&problems](const Problem* p) {
        return std::make_tuple(problems.fileOrder.at(p->path), p->line, p->column);
    };
    std::stable_sort(order.begin(), order.end(), [&key](const Problem* a, const Problem* b) { return key(a) < key(b); });
    std::vector<std::string> lines;
    for (const Problem* p : order) {
        std::string place;
        if (p->line > 0 && p->column > 0) {
            place = english ? Format("line %d, column %d: ", p->line, p->column)
                            : Format("%d行 %d列: ", p->line, p->column);
        } else if (p->line > 0) {
            place = english ? Format("line %d: ", p->line) : Format("%d行: ", p->line);
        }
        lines.push_back(ShownPath(p->path) + ": " + place + (english ? p->text.en : p->text.ja));
    }
    return lines;
}

void ReportUnopened(ProblemList& problems, const char* path, const ProblemText& need) {
    TextReader reader;
    int error = OpenTextReader(reader, path) ? 0 : reader.openError;
    CloseTextReader(reader);
    ProblemText why;
    const char* missing = "ゲームはないものとして扱います";
    if (error == ENOENT) {
        why = {"ファイルがありません", "missing"};
    } else if (error == 0) {
        why = {Format("名前の後に数がありません。%s", missing),
               "gives no number after its name: the game takes it for missing"};
    } else if (error == EISDIR) {
        why = {Format("ファイルではなくフォルダです。%s", missing), "is a folder: the game takes it for missing"};
    } else if (error == ENODEV) {
        why = {Format("普通のファイルではありません（パイプやデバイス）。%s", missing),
               "is not a regular file (a pipe or a device): the game takes it for missing"};
    } else {
        why = {Format("読めません（%s）。%s", std::strerror(error), missing),
               Format("cannot be read (%s): the game takes it for missing", std::strerror(error))};
    }
    ReportProblem(problems, path, 0, 0, {why.ja + "（" + need.ja + "）", why.en + " (" + need.en + ")"});
}

const std::string& FileBytes(ProblemList& problems, const char* path) {
    auto known = problems.bytes.find(path);
    if (known != problems.bytes.end()) return known->second;
    std::string bytes;
    if (std::FILE* file = PlatformOpenFile(path)) {
        char block[4096];
        std::size_t got;
        while (bytes.size() < static_cast<std::size_t>(kTextFileLimit) &&
               (got = std::fread(block, 1, sizeof block, file)) > 0) {
            bytes.append(block, got);
        }
        if (bytes.size() > static_cast<std::size_t>(kTextFileLimit)) bytes.resize(kTextFileLimit);
        std::fclose(file);
    }
    return problems.bytes.emplace(path, bytes).first->second;
}

FileEncoding CheckFileEncoding(ProblemList& problems, const char* path) {
    const std::string& bytes = FileBytes(problems, path);
    bool beyondAscii = false;
    FileEncoding encoding = kCp932;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) encoding = kUtf16;
    else if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) encoding = kUtf8WithBom;
    else if (IsUtf8(bytes, beyondAscii) && beyondAscii) encoding = kUtf8;
    else if (FirstBadSjisByte(bytes) >= 0) encoding = kNotCp932;

    if (encoding == kNotCp932) {
        std::size_t bad = static_cast<std::size_t>(FirstBadSjisByte(bytes));
        std::pair<int, int> place = PlaceOfByte(bytes, bad);
        unsigned byte = static_cast<unsigned char>(bytes[bad]);
        ReportProblem(problems, path, place.first, place.second,
                      {Format("バイト 0x%02X は Shift-JIS（CP932）の文字になりません。このファイルを CP932 で"
                              "保存し直してください",
                              byte),
                       Format("byte 0x%02X is no Shift-JIS (CP932) character: save the file as CP932", byte)});
    } else if (encoding != kCp932) {
        const char* name = encoding == kUtf16 ? "UTF-16" : encoding == kUtf8WithBom ? "UTF-8 (BOM つき)" : "UTF-8";
        const char* nameEn = encoding == kUtf16 ? "UTF-16" : encoding == kUtf8WithBom ? "UTF-8 with a BOM" : "UTF-8";
        const std::string command = ConvertCommand(problems, path, encoding);
        ReportProblem(problems, path, 0, 0,
                      {Format("%s で保存されています。ゲームは Shift-JIS（CP932）しか読めません。変換: %s", name,
                              command.c_str()),
                       Format("is saved as %s, but the game reads only Shift-JIS (CP932). Convert it: %s", nameEn,
                              command.c_str())});
        problems.wrongEncoding.insert(path);
    }
    return encoding;
}

std::string FileTextAsCp932(ProblemList& problems, const char* path) {
    const std::string& bytes = FileBytes(problems, path);
    bool beyondAscii = false;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return Utf8ToSjis(bytes.substr(3));
    if (IsUtf8(bytes, beyondAscii) && beyondAscii) return Utf8ToSjis(bytes);
    return bytes;
}

std::pair<int, int> PlaceOfByte(const std::string& text, std::size_t offset) {
    int line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
            continue;
        }
        if (IsSjisLead(static_cast<unsigned char>(text[i])) && i + 1 < offset) ++i;  // one character, two bytes
        ++column;
    }
    return {line, column};
}

int FirstBadSjisByte(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == 0) return static_cast<int>(i);
        if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) continue;  // ASCII, half-width katakana
        if (!IsSjisLead(byte)) return static_cast<int>(i);
        if (i + 1 >= text.size() || !IsSjisTrail(static_cast<unsigned char>(text[i + 1]))) return static_cast<int>(i);
        // A well-formed pair that code page 932 leaves unassigned shows as '?'.
        if (SjisToUtf8(text.substr(i, 2))[0] == '?') return static_cast<int>(i);
        ++i;
    }
    return -1;
}

ProblemText NameTooLong(long length, long long limit, const ProblemText& where) {
    return {Format("名前が %ld バイトあります。%sに入るのは %lld バイト（全角 %lld 文字）までです", length,
                   where.ja.c_str(), limit, limit / 2),
            Format("name is %ld bytes long: %s holds %lld bytes (%lld full-width characters)", length,
                   where.en.c_str(), limit, limit / 2)};
}

int CheckFileItems(ProblemList& problems, const char* path, const std::vector<ItemRule>& rules, const ProblemText& need) {
    problems.fileOrder.emplace(path, static_cast<int>(problems.fileOrder.size()));
    TextReader reader;
    if (!OpenTextReader(reader, path)) {
        ReportUnopened(problems, path, need);
        problems.readable[path] = -1;
        return -1;
    }
    CheckFileEncoding(problems, path);
    const int total = static_cast<int>(rules.size());
    int readable = total;
    char buffer[256];
    for (const ItemRule& rule : rules) {
        long length = ReadTextItem(reader, buffer, sizeof buffer);
        const int item = reader.items;
        const char* ja = rule.name.ja.c_str();
        const char* en = rule.name.en.c_str();
        if (length < 0) {
            ReportItemProblem(problems, path, item + 1,
                              {Format("%sがありません。ファイルは %d 個目の項目で終わっています（%d 個の項目を読みます）",
                                      ja, item, total),
                               Format("%s is missing: the file ends after item %d (%d items)", en, item, total)});
            readable = item;
            break;
        }
        std::string text(buffer);
        if (rule.kind == kGlyphItem) {
            if (!(length == 2 && IsSjisLead(static_cast<unsigned char>(text[0])))) {
                ReportItemProblem(problems, path, item,
                                  {Format("%s「%s」が全角 1 文字ではありません（全角 1 文字）", ja, Quoted(text).c_str()),
                                   Format("%s \"%s\" is not one full-width character (one double-byte character)", en,
                                          Quoted(text).c_str())});
            }
            continue;
        }
        if (rule.kind == kNameItem) {
            if (length > rule.high) ReportItemProblem(problems, path, item, NameTooLong(length, rule.high, rule.where));
            continue;
        }
        long long value;
        if (!ParseWholeNumber(text.data(), text.size(), value)) {
            ReportItemProblem(problems, path, item,
                              {Format("%s「%s」は数ではありません。ゲームはここで読むのをやめます（%s の数）", ja,
                                      Quoted(text).c_str(), Range(rule.low, rule.high, false).c_str()),
                               Format("%s \"%s\" is not a number; the game stops reading here (%s)", en,
                                      Quoted(text).c_str(), Range(rule.low, rule.high, true).c_str())});
            readable = item - 1;
            break;
        }
        const std::string jaRange = Range(rule.low, rule.high, false), enRange = Range(rule.low, rule.high, true);
        if (value < rule.fieldLow || value > rule.fieldHigh) {
            ReportItemProblem(problems, path, item,
                              {Format("%s %s は大きすぎて項目に入りません。ゲームは別の数として読みます（%s）", ja,
                                      text.c_str(), jaRange.c_str()),
                               Format("%s %s does not fit its field: the game reads another number (%s)", en,
                                      text.c_str(), enRange.c_str())});
        } else if (value < rule.low || value > rule.high) {
            const ProblemText& why = value < rule.low ? rule.whyLow : rule.whyHigh;
            ReportItemProblem(problems, path, item,
                              {why.ja.empty() ? Format("%s %s はゲームが使う範囲の外です（%s）", ja, text.c_str(),
                                                       jaRange.c_str())
                                              : Format("%s %s: %s（%s）", ja, text.c_str(), why.ja.c_str(),
                                                       jaRange.c_str()),
                               why.en.empty() ? Format("%s %s is outside what the game uses (%s)", en, text.c_str(),
                                                       enRange.c_str())
                                              : Format("%s %s: %s (%s)", en, text.c_str(), why.en.c_str(),
                                                       enRange.c_str())});
        }
    }
    if (reader.cut) {
        ReportProblem(problems, path, 0, 0,
                      {Format("ゲームは最初の %ld バイトまでしか読みません（もっと短いファイルにしてください）",
                              kTextFileLimit),
                       Format("the game reads no more than its first %ld bytes (a shorter file)", kTextFileLimit)});
    }
    CloseTextReader(reader);
    problems.readable[path] = readable;
    return readable;
}
