// The game's state folder on Linux and macOS ($XDG_STATE_HOME/chessrpg, else
// ~/.local/state/chessrpg): reading its files, and writing one whole.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/sjis_utf8.h"

namespace {

// A reason for the player, in the game's Shift-JIS.
void SetWhy(char* why, std::size_t size, const std::string& text) {
    if (size > 0) std::snprintf(why, size, "%s", Utf8ToSjis(text).c_str());
}

std::string Failure(const char* what, const std::string& path, int error) {
    return std::string(what) + " " + path + ": " + std::strerror(error);
}

// A relative XDG_STATE_HOME is ignored, as the XDG rules ask.
std::string StateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/chessrpg";
    const char* home = std::getenv("HOME");
    if (!home || home[0] == '\0') {
        const struct passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    return home && home[0] != '\0' ? std::string(home) + "/.local/state/chessrpg" : "";
}

// Makes the folder and the missing ones above it, for this user only.
bool MakeFolders(const std::string& folder, std::string& why) {
    std::size_t slash = 0;
    do {
        slash = folder.find('/', slash + 1);
        std::string part = folder.substr(0, slash);
        struct stat info;
        if (stat(part.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode)) continue;
            why = "cannot make the folder " + part + ": a file of that name is in the way";
            return false;
        }
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            why = Failure("cannot make the folder", part, errno);
            return false;
        }
    } while (slash != std::string::npos);
    return true;
}

bool WriteAll(int descriptor, const char* bytes, std::size_t count) {
    while (count > 0) {
        ssize_t written = write(descriptor, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

// To the disk itself: macOS's fsync stops at the drive's cache.
int SyncToDisk(int descriptor) {
#ifdef F_FULLFSYNC
    if (fcntl(descriptor, F_FULLFSYNC) == 0) return 0;
#endif
    return fsync(descriptor);
}

// Each writer's new file is "NAME.tmp-PID"; a game killed while writing leaves
// its file behind. The next save removes those of processes that are gone.
void RemoveLeftovers(const std::string& folder, const std::string& name) {
    DIR* listing = opendir(folder.c_str());
    if (!listing) return;
    const std::string prefix = name + ".tmp-";
    while (const struct dirent* entry = readdir(listing)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0) continue;
        char* end = nullptr;
        long pid = std::strtol(entry->d_name + prefix.size(), &end, 10);
        if (*end != '\0' || pid <= 0 || pid == getpid()) continue;
        if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) unlink((folder + "/" + entry->d_name).c_str());
    }
    closedir(listing);
}

bool WriteWhole(const std::string& folder, const std::string& name, const char* bytes, std::size_t count,
                std::string& why) {
    const std::string path = folder + "/" + name;
    const std::string temporary = path + ".tmp-" + std::to_string(getpid());
    int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (file < 0) {
        why = Failure("cannot write in", folder, errno);
        return false;
    }
    bool written = WriteAll(file, bytes, count) && SyncToDisk(file) == 0;
    int error = errno;
    if (close(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        if (written) error = errno;
        why = Failure("cannot write", path, error);
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    int directory = open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (directory >= 0) {
        SyncToDisk(directory);
        close(directory);
    }
    RemoveLeftovers(folder, name);
    return true;
}

}  // namespace

bool PlatformDataTreePath(char* path, std::size_t size) {
    char full[PATH_MAX];
    if (!realpath(".", full) || std::strlen(full) >= size) return false;
    std::snprintf(path, size, "%s", full);
    return true;
}

std::FILE* PlatformOpenStateFile(const char* name, char* why, std::size_t whySize) {
    SetWhy(why, whySize, "");
    const std::string folder = StateFolder();
    if (folder.empty()) {
        SetWhy(why, whySize, "no home folder ($HOME is not set)");
        return nullptr;
    }
    const std::string path = folder + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (errno != ENOENT && errno != ENOTDIR) SetWhy(why, whySize, Failure("cannot read", path, errno));
        return nullptr;
    }
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        SetWhy(why, whySize, "cannot read " + path + ": not a regular file");
        return nullptr;
    }
    return file;
}

bool PlatformWriteStateFile(const char* name, const char* bytes, std::size_t count, char* why, std::size_t whySize) {
    const std::string folder = StateFolder();
    std::string reason = "no home folder ($HOME is not set)";
    bool done = !folder.empty() && MakeFolders(folder, reason) && WriteWhole(folder, name, bytes, count, reason);
    SetWhy(why, whySize, done ? "" : reason);
    return done;
}

void PlatformLeaveStatePath(const char* label, const char* name) {
    PlatformLeaveLine((std::string(label) + Utf8ToSjis(StateFolder() + "/" + name)).c_str());
}
