// Data files on Windows: where the data tree is, and opening its files.
#include <fcntl.h>
#include <io.h>
#include "platform/win32_api.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/data_files.h"

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

// The folders searched for the data tree, in order: the working directory, then
// the data folder beside the program, which is where the zip puts it.
const std::vector<std::wstring>& DataFolders() {
    static std::vector<std::wstring> folders;
    if (!folders.empty()) return folders;
    folders.push_back(L".");
    wchar_t path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
    if (length == 0 || length >= sizeof path / sizeof path[0]) return folders;
    std::wstring folder(path, length);
    std::wstring::size_type slash = folder.find_last_of(L"\\/");
    folders.push_back((slash == std::wstring::npos ? std::wstring(L".") : folder.substr(0, slash)) + L"\\data");
    return folders;
}

}  // namespace

bool PlatformEnterDataDirectory(const char* folder) {
    // The command line comes in the system's code page, as SetCurrentDirectoryA takes it.
    if (folder) return SetCurrentDirectoryA(folder) != FALSE;
    for (const std::wstring& candidate : DataFolders()) {
        if (HoldsData(candidate) && SetCurrentDirectoryW(candidate.c_str()) != FALSE) return true;
    }
    return false;
}

bool PlatformCheckDataFolder(const char* folder, char* why, std::size_t whySize) {
    DWORD attributes = GetFileAttributesA(folder);
    const char* reason = nullptr;
    if (attributes == INVALID_FILE_ATTRIBUTES) reason = "no such folder";
    else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) reason = "not a folder";
    if (reason && whySize > 0) std::snprintf(why, whySize, "%s", reason);
    return reason == nullptr;
}

const char* PlatformDataFolder(int n) {
    static std::vector<std::string> texts;
    const std::vector<std::wstring>& folders = DataFolders();
    if (texts.empty()) {
        for (const std::wstring& folder : folders) {
            int size = WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string text(size > 0 ? size : 1, '\0');
            if (size > 0) WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, &text[0], size, nullptr, nullptr);
            text.resize(text.size() - 1);
            texts.push_back(text);
        }
    }
    return n >= 0 && n < static_cast<int>(texts.size()) ? texts[n].c_str() : nullptr;
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
