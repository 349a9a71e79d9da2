// Data files on Linux and macOS: where the data tree is, and opening its files
// with the separators and the case-blind names of the system it came from.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

#include "platform/platform.h"

namespace {

// The path of a data file below `base`, each part matched without regard to
// case when it is not there as written (the data tree comes from a system
// whose file names ignore case).
std::string FindPath(const std::string& base, const std::string& relative) {
    std::string path = base;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos) end = relative.size();
        std::string part = relative.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;
        std::string exact = path + "/" + part;
        struct stat info;
        if (stat(exact.c_str(), &info) == 0) {
            path = exact;
            continue;
        }
        std::string found;
        if (DIR* folder = opendir(path.c_str())) {
            while (struct dirent* entry = readdir(folder)) {
                if (strcasecmp(entry->d_name, part.c_str()) == 0) {
                    found = path + "/" + entry->d_name;
                    break;
                }
            }
            closedir(folder);
        }
        path = found.empty() ? exact : found;
    }
    return path;
}

bool HoldsData(const std::string& folder) {
    struct stat info;
    return !folder.empty() && stat(FindPath(folder, "Hero_Info").c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ExecutableFolder() {
    char path[PATH_MAX] = {};
#if defined(__APPLE__)
    char raw[PATH_MAX] = {};
    uint32_t size = sizeof raw;
    if (_NSGetExecutablePath(raw, &size) != 0 || !realpath(raw, path)) return "";
#else
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    path[length] = '\0';
#endif
    std::string folder = path;
    std::size_t slash = folder.rfind('/');
    return slash == std::string::npos ? "" : folder.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

bool PlatformEnterDataDirectory() {
    if (HoldsData(".")) return true;
    std::string beside = ExecutableFolder();
    std::string candidates[] = {
        beside.empty() ? "" : beside + "/data",
        beside,
#ifdef CHESSRPG_DATA_DIR
        CHESSRPG_DATA_DIR,
#endif
    };
    for (const std::string& folder : candidates) {
        if (HoldsData(folder) && chdir(folder.c_str()) == 0) return true;
    }
    return false;
}

std::FILE* PlatformOpenFile(const char* path) {
    std::string relative = path;
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    return std::fopen(FindPath(".", relative).c_str(), "rb");
}

