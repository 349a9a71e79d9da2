#include "tools/layout_problems.h"

#include <cstring>

namespace {

constexpr int kLineBytes = kScreenColumns - 1;  // the 60th cell of a row is its line break
const char kFullWidthSpace[] = "\x81\x40";

bool IsLead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// The bytes of line `line` (from 0), without its break.
std::string LineBytes(const LayoutText& layout, std::size_t line) {
    std::size_t start = layout.lineStarts[line];
    std::size_t end = layout.text.find('\n', start);
    if (end == std::string::npos) end = layout.text.size();
    if (end > start && layout.text[end - 1] == '\r') --end;
    return layout.text.substr(start, end - start);
}

// A tab or another control byte stands on the screen as one cell of wall.
void CheckControlBytes(ProblemList& problems, const LayoutText& layout, int line, const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (IsLead(byte)) {
            ++i;
            continue;
        }
        if (byte >= 0x20 && byte != 0x7F) continue;
        std::pair<int, int> place = PlaceOfByte(layout.text, layout.lineStarts[line] + i);
        const std::string length =
            bytes.size() == kLineBytes ? "" : Format("%zu", bytes.size());
        ProblemText what = byte == '\t'
                               ? ProblemText{"タブがあります。ゲームはタブを 1 マスの壁として読みます。半角スペースに"
                                             "してください",
                                             "a tab: the game reads it as one cell of wall; write blanks instead"}
                               : ProblemText{Format("制御文字 0x%02X があります。ゲームは 1 マスの壁として読みます",
                                                    byte),
                                             Format("control character 0x%02X: the game reads it as one cell of "
                                                    "wall",
                                                    byte)};
        if (!length.empty()) {
            what.ja += "（この行は " + length + " バイト、59 バイトが要ります）";
            what.en += " (the line holds " + length + " bytes; 59 are needed)";
        }
        ReportProblem(problems, layout.path.c_str(), place.first, place.second, what);
        return;
    }
}

// A full-width space looks like open ground but is two bytes of wall.
void CheckFullWidthSpaces(ProblemList& problems, const LayoutText& layout, int line, const std::string& bytes) {
    int count = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (!IsLead(static_cast<unsigned char>(bytes[i]))) continue;
        if (bytes.compare(i, 2, kFullWidthSpace) == 0 && count++ == 0) first = i;
        ++i;
    }
    if (count == 0) return;
    std::pair<int, int> place = PlaceOfByte(layout.text, layout.lineStarts[line] + first);
    ReportProblem(problems, layout.path.c_str(), place.first, place.second,
                  {Format("全角スペース（　）があります（この行に %d 個）。ゲームでは見えない壁になります。"
                          "半角スペース 2 つにしてください",
                          count),
                   Format("a full-width space (　), %d on this line: an invisible wall in the game; write two "
                          "blanks instead",
                          count)});
}

void CheckLength(ProblemList& problems, const LayoutText& layout, int line, const std::string& bytes) {
    if (bytes.size() == kLineBytes || bytes.find('\t') != std::string::npos) return;
    const int shift = static_cast<int>(bytes.size()) - kLineBytes;
    const int cells = shift < 0 ? -shift : shift;
    ReportProblem(problems, layout.path.c_str(), line + 1, 0,
                  {Format("この行は %zu バイトです。59 バイト（全角文字は 2 バイト）と改行にしてください。"
                          "ゲームはファイルを続けて読むので、後の行が %d マス%sにずれます",
                          bytes.size(), cells, shift > 0 ? "右" : "左"),
                   Format("the line holds %zu bytes (59, then a line break; a full-width character counts 2): "
                          "the game reads the file as one stream, so the rows after it shift %d cell%s %s",
                          bytes.size(), cells, cells == 1 ? "" : "s", shift > 0 ? "right" : "left")});
}

}  // namespace

void CheckLayoutFile(ProblemList& problems, LayoutText& layout) {
    layout.text = FileTextAsCp932(problems, layout.path.c_str());
    layout.lineStarts = {0};
    for (std::size_t i = 0; i < layout.text.size(); ++i) {
        if (layout.text[i] == '\n' && i + 1 < layout.text.size()) layout.lineStarts.push_back(i + 1);
    }
    CheckFileEncoding(problems, layout.path.c_str());
    if (problems.wrongEncoding.count(layout.path)) return;
    const char* path = layout.path.c_str();
    const bool ends = !layout.text.empty() && layout.text.back() == '\n';
    const int lines = layout.text.empty() ? 0 : static_cast<int>(layout.lineStarts.size());
    for (int line = 0; line < lines && line < kScreenRows; ++line) {
        const std::string bytes = LineBytes(layout, static_cast<std::size_t>(line));
        CheckControlBytes(problems, layout, line, bytes);
        CheckFullWidthSpaces(problems, layout, line, bytes);
        // A short last line without its break shifts nothing: the rest of the
        // screen is blank either way.
        const bool lastUnended = line == lines - 1 && !ends;
        if (!lastUnended || bytes.size() > kLineBytes) CheckLength(problems, layout, line, bytes);
    }
    if (lines < kScreenRows) {
        ReportProblem(problems, path, 0, 0,
                      {Format("%d 行しかありません。残りの行は空き地になります（20 行）", lines),
                       Format("%d lines: the rest of the screen is open ground (20 lines)", lines)});
    } else if (lines > kScreenRows) {
        ReportProblem(problems, path, kScreenRows + 1, 0,
                      {"20 行目より後は読まれません（20 行）", "text after line 20 is never read (20 lines)"});
    }
}

void PutMeantLayout(const LayoutText& layout, int screen, WorldMap& map) {
    const int top = ScreenRowOrigin(screen), left = ScreenColumnOrigin(screen);
    const std::size_t lines = layout.text.empty() ? 0 : layout.lineStarts.size();
    for (int y = 0; y < kScreenRows; ++y) {
        unsigned char* row = &map.cells[top + y][left];
        std::memset(row, ' ', kScreenColumns);
        if (static_cast<std::size_t>(y) >= lines) continue;
        const std::string bytes = LineBytes(layout, static_cast<std::size_t>(y));
        for (std::size_t x = 0; x < bytes.size() && x < static_cast<std::size_t>(kScreenColumns); ++x) {
            unsigned char byte = static_cast<unsigned char>(bytes[x]);
            row[x] = byte == 0xFF ? ' ' : byte;
        }
    }
}

std::pair<int, int> LayoutPlace(const LayoutText& layout, int y, int x) {
    if (layout.text.empty() || static_cast<std::size_t>(y) >= layout.lineStarts.size()) return {y + 1, x + 1};
    const std::string bytes = LineBytes(layout, static_cast<std::size_t>(y));
    const std::size_t start = layout.lineStarts[static_cast<std::size_t>(y)];
    if (static_cast<std::size_t>(x) <= bytes.size()) return PlaceOfByte(layout.text, start + static_cast<std::size_t>(x));
    std::pair<int, int> end = PlaceOfByte(layout.text, start + bytes.size());
    return {end.first, end.second + x - static_cast<int>(bytes.size())};
}
