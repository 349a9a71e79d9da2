// Data files on Linux and macOS: where the data tree is, and opening its files
// with the separators and the case-blind names of the system it came from.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

#include "platform/data_files.h"
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

// `relative` below `folder`, its ".." steps taken off the folder's end (the
// program's folder is a real path, with no links to step back through).
std::string JoinPath(std::string folder, const std::string& relative) {
    if (!relative.empty() && relative[0] == '/') return relative;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos) end = relative.size();
        std::string part = relative.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            std::size_t slash = folder.rfind('/');
            folder = slash == std::string::npos || slash == 0 ? "/" : folder.substr(0, slash);
        } else {
            folder += (folder.empty() || folder.back() == '/' ? "" : "/") + part;
        }
    }
    return folder;
}

// True when the program runs from the folder it was built in: only there may it
// fall back to the source tree's data, which an installed copy must never see.
bool InBuildTree(const std::string& programFolder) {
#if defined(CHESSRPG_DATA_DIR) && defined(CHESSRPG_BUILD_DIR)
    char built[PATH_MAX];
    return !programFolder.empty() && realpath(CHESSRPG_BUILD_DIR, built) && programFolder == built;
#else
    (void)programFolder;
    return false;
#endif
}

// The folders searched for the data tree, in order: the working directory; the
// installed data at its place relative to the program (so that a moved prefix
// still works); a data folder beside the program, as in the Windows zip; the
// program's own folder; and for a program in its build tree, the source data.
const std::vector<std::string>& DataFolders() {
    static std::vector<std::string> folders;
    if (!folders.empty()) return folders;
    folders.push_back(".");
    std::string beside = ExecutableFolder();
    if (beside.empty()) return folders;
    bool inBuildTree = InBuildTree(beside);
#ifdef CHESSRPG_INSTALLED_DATA
    if (!inBuildTree) folders.push_back(JoinPath(beside, CHESSRPG_INSTALLED_DATA));
#endif
    folders.push_back(JoinPath(beside, "data"));
    folders.push_back(beside);
#ifdef CHESSRPG_DATA_DIR
    if (inBuildTree) folders.push_back(CHESSRPG_DATA_DIR);
#endif
    return folders;
}

}  // namespace

bool PlatformEnterDataDirectory(const char* folder) {
    if (folder) return chdir(folder) == 0;
    for (const std::string& candidate : DataFolders()) {
        if (HoldsData(candidate) && chdir(candidate.c_str()) == 0) return true;
    }
    return false;
}

bool PlatformCheckDataFolder(const char* folder, char* why, std::size_t whySize) {
    struct stat info;
    const char* reason = nullptr;
    if (stat(folder, &info) != 0) reason = std::strerror(errno);
    else if (!S_ISDIR(info.st_mode)) reason = "not a folder";
    else if (access(folder, R_OK | X_OK) != 0) reason = std::strerror(errno);
    if (reason && whySize > 0) std::snprintf(why, whySize, "%s", reason);
    return reason == nullptr;
}

const char* PlatformDataFolder(int n) {
    const std::vector<std::string>& folders = DataFolders();
    return n >= 0 && n < static_cast<int>(folders.size()) ? folders[n].c_str() : nullptr;
}

std::FILE* PlatformOpenFile(const char* path) { return OpenDataFile(".", path); }
