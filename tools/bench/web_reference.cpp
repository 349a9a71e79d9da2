// What the browser tests and benchmarks hold the page to, worked out on the
// headless backend apart from any renderer, printed as JSON:
//  frame DATA_DIR: the game's rows of the first field frame of the data tree
//    (the page words the key help below them its own way), as a terminal
//    that draws ● one column wide shows them, one text per row, a wide
//    character once, blanks as blanks, and the hero's place;
//  pacing DATA_DIR OUT_DIR: writes the benchmarks' small world into OUT_DIR
//    and gives its encounter and flee on the virtual clock (the length the
//    game's pauses add up to), with the texts that mark each moment;
//  scroll DATA_DIR OUT_DIR: writes the benchmarks' scroll world into OUT_DIR.
// Usage: web_reference frame DATA_DIR | web_reference pacing|scroll DATA_DIR OUT_DIR
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "console/message_log.h"
#include "console/texts.h"
#include "platform/sjis_utf8.h"
#include "tools/bench/scenes.h"
#include "tools/bench/scratch_data.h"

namespace {

constexpr int kColumns = 80;
constexpr int kRows = 21;

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Utf8(const char* sjis) { return SjisToUtf8(sjis, std::strlen(sjis)); }

std::string FirstCharacter(const std::string& text) {
    std::size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
    return text.substr(0, length);
}

// Copies a scratch tree to `out`, in place of what was there.
bool CopyTree(const std::string& from, const std::string& out, std::string& error) {
    std::error_code copyError;
    std::filesystem::remove_all(out, copyError);
    std::filesystem::copy(from, out, std::filesystem::copy_options::recursive, copyError);
    if (copyError) error = "cannot copy a data tree to " + out + ": " + copyError.message();
    return !copyError;
}

int Fail(const std::string& error) {
    std::fprintf(stderr, "web_reference: %s\n", error.c_str());
    return 1;
}

int PrintFrame(const std::string& data) {
    FieldStart start;
    std::string error;
    if (!HeadlessFieldStart(data, kColumns, kRows, start, error)) return Fail(error);
    std::printf("{\n  \"hero\": [%d, %d],\n  \"frame\": [\n", start.heroX, start.heroY);
    for (int row = 0; row < kRows; ++row) {
        std::printf("    %s%s\n", Json(ScreenText(start.frame, row, 0, kColumns)).c_str(), row + 1 < kRows ? "," : "");
    }
    std::printf("  ]\n}\n");
    return 0;
}

int PrintPacing(const std::string& data, const std::string& out) {
    ScratchData scratch;
    std::string error;
    PacingMarks marks;
    if (!MakeScratchData(scratch, data, error) || !WriteSmallWorld(scratch, error)) return Fail(error);
    if (!HeadlessPacing(scratch.data, kColumns, kRows, marks, error)) return Fail(error);
    if (!CopyTree(scratch.data, out, error)) return Fail(error);
    std::printf("{\n  \"marks\": {\"wipeStarts\": %.1f, \"battleStarts\": %.1f, \"boxesIn\": %.1f, "
                "\"battleReady\": %.1f, \"fleeTypingStarts\": %.1f, \"fleeTypingEnds\": %.1f},\n",
                marks.wipeStarts, marks.battleStarts, marks.boxesIn, marks.battleReady, marks.fleeTypingStarts,
                marks.fleeTypingEnds);
    std::printf("  \"wipeBlock\": %s,\n  \"boxTop\": %s,\n  \"fight\": %s,\n  \"flee\": %s,\n",
                Json(Utf8(kTextWipeBlock)).c_str(), Json(FirstCharacter(Utf8(kTextBoxTop))).c_str(),
                Json(Utf8(kTextCommandFight)).c_str(), Json(Utf8(kTextCommandFlee)).c_str());
    std::printf("  \"announcement\": %s,\n  \"announcementColumns\": %d,\n  \"logRow\": %d,\n  \"logColumn\": %d,\n"
                "  \"fleeKeys\": %s\n}\n",
                Json(FleeAnnouncement()).c_str(), FleeAnnouncementBytes(), kLogFirstRow, LogColumn(),
                Json(kFleeKeys).c_str());
    return 0;
}

int WriteScroll(const std::string& data, const std::string& out) {
    ScratchData scratch;
    std::string error;
    if (!MakeScratchData(scratch, data, error) || !WriteScrollWorld(scratch, error)) return Fail(error);
    return CopyTree(scratch.data, out, error) ? 0 : Fail(error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "frame") == 0) return PrintFrame(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "pacing") == 0) return PrintPacing(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "scroll") == 0) return WriteScroll(argv[2], argv[3]);
    std::fprintf(stderr, "usage: web_reference frame DATA_DIR | web_reference pacing|scroll DATA_DIR OUT_DIR\n");
    return 2;
}
