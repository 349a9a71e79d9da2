#include "platform/size_notice.h"

#include <cstdio>

#include "platform/texts.h"

namespace {

std::string WithSize(const char* format, int columns, int rows) {
    char line[128];
    std::snprintf(line, sizeof line, format, columns, rows);
    return line;
}

// The longest start of a Shift-JIS line that fits `room` columns without
// cutting a double-byte character.
std::string CutToColumns(const std::string& line, int room) {
    std::size_t end = 0;
    while (end < line.size()) {
        unsigned char lead = static_cast<unsigned char>(line[end]);
        std::size_t width = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) ? 2 : 1;
        if (end + width > static_cast<std::size_t>(room < 0 ? 0 : room)) break;
        end += width;
    }
    return line.substr(0, end);
}

}  // namespace

std::vector<std::string> SizeNoticeLines(int columns, int rows) {
    std::vector<std::string> all = {kTextSizeNoticeLine1, WithSize(kTextSizeNoticeLine2, columns, rows),
                                    kTextSizeNoticeLine3, WithSize(kTextSizeNoticeLine4, columns, rows)};
    std::vector<std::string> lines;
    for (int i = 0; i < static_cast<int>(all.size()) && i < rows; ++i) {
        lines.push_back(CutToColumns(all[static_cast<std::size_t>(i)], columns - (i == rows - 1 ? 1 : 0)));
    }
    return lines;
}
