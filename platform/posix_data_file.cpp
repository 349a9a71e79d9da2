#include "platform/posix_data_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// The errno for a file that exists but is not a regular file.
int NotRegular(const struct stat& info) { return S_ISDIR(info.st_mode) ? EISDIR : ENODEV; }

}  // namespace

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

std::FILE* OpenDataFile(const std::string& base, const char* path) {
    std::string relative = path;
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    return OpenRegularFile(FindPath(base, relative));
}

std::FILE* OpenRegularFile(const std::string& full) {
    // Looked at before opening, since opening a pipe without a writer waits for
    // one, and opening some devices does something.
    struct stat info;
    if (stat(full.c_str(), &info) != 0) return nullptr;
    if (!S_ISREG(info.st_mode)) {
        errno = NotRegular(info);
        return nullptr;
    }
    // It may have been replaced since: opened without waiting, then looked at again.
    int fd = open(full.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        int why = S_ISREG(info.st_mode) ? errno : NotRegular(info);
        close(fd);
        errno = why;
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (!file) {
        int why = errno;
        close(fd);
        errno = why;
    }
    return file;
}
