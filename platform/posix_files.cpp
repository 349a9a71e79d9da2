// Data files on Linux and macOS: where the data tree is, and opening its files
// with the separators and the case-blind names of the system it came from.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

#include "platform/platform.h"
#include "platform/posix_data_file.h"

namespace {

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

std::FILE* PlatformOpenFile(const char* path) { return OpenDataFile(".", path); }
