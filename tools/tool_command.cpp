#include "tools/tool_command.h"

#include <cstdio>
#include <filesystem>

#include "platform/posix_data_file.h"

std::string DataTreeMissing(const char* program, const std::string& folder, bool english) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        return std::string(program) + ": " + folder +
               Pick(english, ": フォルダがありません", ": no such folder");
    }
    for (const char* part : {"Hero_Info", "Enemy_Info", "Abilities", "map_form", "map_info"}) {
        if (fs::is_directory(FindPath(folder, part), error)) return "";
    }
    std::string shown = fs::absolute(folder, error).lexically_normal().string();
    if (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    return std::string(program) + ": " +
           Pick(english, "データツリーがありません（Hero_Info、Enemy_Info、Abilities、map_form、map_info のどれも ",
                "no data tree here (none of Hero_Info, Enemy_Info, Abilities, map_form, map_info in ") +
           shown + Pick(english, " にありません）。データフォルダを指定してください", "): name the data folder");
}

bool PrintText(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}
