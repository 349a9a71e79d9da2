// Files at paths the player names (recordings) on Linux, macOS and in the
// browser's file system: created exclusively, opened only when regular.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/state_files.h"

namespace {

std::FILE* Refuse(const char* path, const std::string& what, char* why, std::size_t whySize) {
    std::snprintf(why, whySize, "%s: %s", path, what.c_str());
    return nullptr;
}

}  // namespace

std::FILE* PlatformCreateNamedFile(const char* path, char* why, std::size_t whySize) {
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) return Refuse(path, "already exists; a recording never replaces a file", why, whySize);
    if (fd < 0) return Refuse(path, std::strerror(errno), why, whySize);
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        int error = errno;
        close(fd);
        unlink(path);
        return Refuse(path, std::strerror(error), why, whySize);
    }
    return file;
}

std::FILE* PlatformOpenNamedFile(const char* path, char* why, std::size_t whySize) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Refuse(path, std::strerror(errno), why, whySize);
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return Refuse(path, "not a regular file", why, whySize);
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (!file) {
        int error = errno;
        close(fd);
        return Refuse(path, std::strerror(error), why, whySize);
    }
    return file;
}
