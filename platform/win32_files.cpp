// Data files on Windows: where the data tree is, and opening its files.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace {

// True when `path` names a folder.
bool IsFolder(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A folder holds the data tree when it has the hero's folder in it.
bool HoldsData(const std::wstring& folder) {
    std::wstring prefix = folder.empty() ? L"" : folder + L"\\";
    return IsFolder((prefix + L"Hero_Info").c_str());
}

}  // namespace

bool PlatformEnterDataDirectory() {
    if (HoldsData(L"")) return true;
    // The data folder beside the program, which is where the zip puts it.
    wchar_t path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
    if (length == 0 || length >= sizeof path / sizeof path[0]) return false;
    std::wstring folder(path, length);
    std::wstring::size_type slash = folder.find_last_of(L"\\/");
    folder = (slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash)) + L"\\data";
    if (!HoldsData(folder)) return false;
    return SetCurrentDirectoryW(folder.c_str()) != FALSE;
}

std::FILE* PlatformOpenFile(const char* path) {
    // Only a regular file on a disk opens, as on the other systems: a folder, a
    // device or a pipe counts as missing.
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        DWORD attributes = GetFileAttributesA(path);
        bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        errno = folder ? EISDIR : (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? ENOENT : EACCES;
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(handle);
        errno = ENODEV;
        return nullptr;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "rb");
    if (!file) _close(fd);
    return file;
}
