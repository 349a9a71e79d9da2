// What the journal needs of Windows: a millisecond clock, and the recordings'
// files at the paths the player names (created exclusively, read only when
// they are files on disk).
#include "platform/win32_api.h"
#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/program.h"
#include "platform/state_files.h"

namespace {

std::FILE* Refuse(const char* path, const std::string& what, char* why, std::size_t whySize) {
    std::snprintf(why, whySize, "%s: %s", path, what.c_str());
    return nullptr;
}

std::string Reason(DWORD error) {
    switch (error) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return "already exists; a recording never replaces a file";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return "No such file or directory";
        case ERROR_ACCESS_DENIED:
            return "Permission denied";
        default:
            return "Windows error " + std::to_string(error);
    }
}

// The handle as a C stream; closed, and null, when it cannot be.
std::FILE* StreamOf(HANDLE handle, int flags, const char* mode) {
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, mode);
    if (!file) _close(descriptor);
    return file;
}

}  // namespace

std::FILE* PlatformCreateNamedFile(const char* path, char* why, std::size_t whySize) {
    // CREATE_NEW fails on anything already there, a link included.
    HANDLE handle = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Refuse(path, Reason(GetLastError()), why, whySize);
    std::FILE* file = StreamOf(handle, _O_WRONLY | _O_BINARY, "wb");
    if (!file) {
        DeleteFileA(path);
        return Refuse(path, "cannot be opened as a stream", why, whySize);
    }
    return file;
}

std::FILE* PlatformOpenNamedFile(const char* path, char* why, std::size_t whySize) {
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Refuse(path, Reason(GetLastError()), why, whySize);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return Refuse(path, "not a regular file", why, whySize);
    }
    std::FILE* file = StreamOf(handle, _O_RDONLY | _O_BINARY, "rb");
    if (!file) return Refuse(path, "cannot be opened as a stream", why, whySize);
    return file;
}
