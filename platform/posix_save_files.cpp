// The game's state folder on Linux and macOS ($XDG_STATE_HOME/chessrpg, else
// ~/.local/state/chessrpg): reading its files, writing one whole, and the
// lock that keeps one running game per save.
//
// The folder holds the player's journey, so nobody else may have a hand in
// it: it is used only when it is the player's own and nobody else may write
// in it, and every file in it is reached through the open folder (no path is
// looked up twice), opened without waiting and only when it is a regular
// file, and created exclusively, never through a link.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/program.h"
#include "platform/sjis_utf8.h"
#include "platform/state_files.h"

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

// The state folder, open, once it is known to be the player's own and closed
// to others. A link in its place is followed only when the player made it.
// -1 with the reason when it cannot be used, with "" when it is only missing.
int OpenStateFolder(const std::string& folder, std::string& why) {
    struct stat link;
    if (lstat(folder.c_str(), &link) != 0) {
        why = errno == ENOENT || errno == ENOTDIR ? "" : Failure("cannot use the folder", folder, errno);
        return -1;
    }
    if (S_ISLNK(link.st_mode) && link.st_uid != geteuid()) {
        why = "cannot use the folder " + folder + ": it is a link made by another user";
        return -1;
    }
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOCTTY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        why = Failure("cannot use the folder", folder, errno);
        if (fd >= 0) close(fd);
        return -1;
    }
    if (info.st_uid != geteuid()) {
        why = "cannot use the folder " + folder + ": it belongs to another user";
    } else if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        why = "cannot use the folder " + folder + ": others may write in it (chmod 700 makes it yours alone)";
    } else {
        return fd;
    }
    close(fd);
    return -1;
}

// Opens `name` in the folder without waiting (a pipe has no writer to wait
// for) and without following a link; only a regular file stays open. -1 with
// the reason ("" when it does not exist).
int OpenRegular(int folder, const std::string& shownPath, const char* name, int flags, std::string& why) {
    int fd = openat(folder, name, flags | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == ENOENT) why = "";
        else if (errno == ELOOP) why = "cannot read " + shownPath + ": not a regular file (a link)";
        else why = Failure("cannot read", shownPath, errno);
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = "cannot read " + shownPath + ": not a regular file";
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool WriteAll(int descriptor, const char* bytes, std::size_t count) {
    while (count > 0) {
        ssize_t written = write(descriptor, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = ENOSPC;
            return false;
        }
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

std::string TemporaryPrefix(const std::string& name) { return name + ".tmp-"; }

// Each writer's new file is "NAME.tmp-PID"; a game killed while writing leaves
// its file behind. Those of processes that are gone are removed.
void RemoveLeftovers(int folder, const std::string& name) {
    int listed = dup(folder);
    DIR* listing = listed >= 0 ? fdopendir(listed) : nullptr;
    if (!listing) {
        if (listed >= 0) close(listed);
        return;
    }
    const std::string prefix = TemporaryPrefix(name);
    while (const struct dirent* entry = readdir(listing)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0) continue;
        char* end = nullptr;
        long pid = std::strtol(entry->d_name + prefix.size(), &end, 10);
        if (*end != '\0' || pid <= 0 || pid == getpid()) continue;
        if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) unlinkat(folder, entry->d_name, 0);
    }
    closedir(listing);
}

// A new file beside the old, flushed to disk, then renamed over it.
bool WriteWhole(int folder, const std::string& folderPath, const std::string& name, const char* bytes,
                std::size_t count, std::string& why) {
    RemoveLeftovers(folder, name);
    const std::string path = folderPath + "/" + name;
    const std::string temporary = TemporaryPrefix(name) + std::to_string(getpid());
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int file = openat(folder, temporary.c_str(), flags, 0600);
    if (file < 0 && errno == EEXIST) {
        // Ours from an earlier save that failed to remove it, or planted:
        // taken away (a link goes, not what it points at) and made anew.
        unlinkat(folder, temporary.c_str(), 0);
        file = openat(folder, temporary.c_str(), flags, 0600);
    }
    if (file < 0) {
        why = Failure("cannot write in", folderPath, errno);
        return false;
    }
    bool written = WriteAll(file, bytes, count) && SyncToDisk(file) == 0;
    int error = errno;
    if (close(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written || renameat(folder, temporary.c_str(), folder, name.c_str()) != 0) {
        if (written) error = errno;
        why = Failure("cannot write", path, error);
        unlinkat(folder, temporary.c_str(), 0);
        return false;
    }
    SyncToDisk(folder);  // the rename itself reaches the disk with the folder
    return true;
}

// The state folder open for writing, made when missing; -1 with the reason.
int FolderToWrite(std::string& folder, std::string& why) {
    folder = StateFolder();
    if (folder.empty()) {
        why = "no home folder ($HOME is not set)";
        return -1;
    }
    if (!MakeFolders(folder, why)) return -1;
    return OpenStateFolder(folder, why);
}

}  // namespace

bool PlatformDataTreePath(char* path, std::size_t size) {
    char full[PATH_MAX];
    if (!realpath(".", full) || std::strlen(full) >= size) return false;
    std::snprintf(path, size, "%s", full);
    return true;
}

std::FILE* PlatformOpenStateFile(const char* name, char* why, std::size_t whySize) {
    const std::string folderPath = StateFolder();
    if (folderPath.empty()) {
        SetWhy(why, whySize, "no home folder ($HOME is not set)");
        return nullptr;
    }
    std::string reason;
    int folder = OpenStateFolder(folderPath, reason);
    int fd = folder < 0 ? -1 : OpenRegular(folder, folderPath + "/" + name, name, O_RDONLY, reason);
    if (folder >= 0) close(folder);
    std::FILE* file = fd < 0 ? nullptr : fdopen(fd, "rb");
    if (fd >= 0 && !file) {
        reason = Failure("cannot read", folderPath + "/" + name, errno);
        close(fd);
    }
    SetWhy(why, whySize, reason);
    return file;
}

bool PlatformWriteStateFile(const char* name, const char* bytes, std::size_t count, char* why, std::size_t whySize) {
    std::string folderPath, reason;
    int folder = FolderToWrite(folderPath, reason);
    bool done = folder >= 0 && WriteWhole(folder, folderPath, name, bytes, count, reason);
    if (folder >= 0) close(folder);
    SetWhy(why, whySize, done ? "" : reason);
    return done;
}

StateLock PlatformLockStateFile(const char* name, char* why, std::size_t whySize) {
    // The locks this program holds, by path: asked again, it holds them still.
    static std::vector<std::string> held;
    std::string folderPath, reason;
    int folder = FolderToWrite(folderPath, reason);
    for (const std::string& path : held) {
        if (folder >= 0 && path == folderPath + "/" + name) {
            close(folder);
            SetWhy(why, whySize, "");
            return StateLock::kHeld;
        }
    }
    int fd = -1;
    if (folder >= 0) {
        // Created when missing; like any state file, only a regular one is used.
        fd = OpenRegular(folder, folderPath + "/" + name, name, O_RDWR | O_CREAT, reason);
        close(folder);
    }
    SetWhy(why, whySize, reason);
    if (fd < 0) return StateLock::kUnavailable;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        held.push_back(folderPath + "/" + name);  // and the file stays open until the program ends
        return StateLock::kHeld;
    }
    int error = errno;
    close(fd);
    // A file system without locks: the game saves as it did without them.
    return error == EWOULDBLOCK ? StateLock::kBusy : StateLock::kHeld;
}

void PlatformLeaveStatePath(const char* label, const char* name) {
    PlatformLeaveLine((std::string(label) + Utf8ToSjis(StateFolder() + "/" + name)).c_str());
}
