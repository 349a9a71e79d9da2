// The game's state folder on Windows (%LOCALAPPDATA%\chessrpg): reading its
// files, and writing one whole.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace {

// Paths for the player's eyes, in the console's code page 932.
std::string ShownPath(const std::wstring& path) {
    int size = WideCharToMultiByte(932, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return "?";
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(932, 0, path.c_str(), -1, &text[0], size, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size - 1));
    return text;
}

std::wstring Wide(const char* text) {
    int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (size <= 0) return L"";
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], size);
    wide.resize(static_cast<std::size_t>(size - 1));
    return wide;
}

// The system's words for an error, in the console's code page.
std::string Failure(const char* what, const std::wstring& path, DWORD error) {
    char words[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, words,
                                  sizeof words, nullptr);
    while (length > 0 && (words[length - 1] == '\r' || words[length - 1] == '\n' || words[length - 1] == '.')) {
        words[--length] = '\0';
    }
    return std::string(what) + " " + ShownPath(path) + ": " + (length > 0 ? words : "error " + std::to_string(error));
}

void SetWhy(char* why, std::size_t size, const std::string& text) {
    if (size > 0) std::snprintf(why, size, "%s", text.c_str());
}

std::wstring StateFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return local && local[0] != L'\0' ? std::wstring(local) + L"\\chessrpg" : L"";
}

bool WriteWhole(const std::wstring& folder, const char* name, const char* bytes, std::size_t count,
                std::string& why) {
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        why = Failure("cannot make the folder", folder, GetLastError());
        return false;
    }
    const std::wstring path = folder + L"\\" + Wide(name);
    const std::wstring temporary = path + L".tmp-" + std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        why = Failure("cannot write in", folder, GetLastError());
        return false;
    }
    bool written = true;
    while (written && count > 0) {
        DWORD done = 0;
        DWORD chunk = count > 65536 ? 65536 : static_cast<DWORD>(count);
        written = WriteFile(file, bytes, chunk, &done, nullptr) && done > 0;
        bytes += done;
        count -= done;
    }
    written = written && FlushFileBuffers(file);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!written || !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (written) error = GetLastError();
        why = Failure("cannot write", path, error);
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool PlatformDataTreePath(char* path, std::size_t size) {
    wchar_t full[MAX_PATH * 4];
    DWORD length = GetFullPathNameW(L".", sizeof full / sizeof full[0], full, nullptr);
    if (length == 0 || length >= sizeof full / sizeof full[0]) return false;
    // The long names, so that one folder has one spelling.
    wchar_t longName[MAX_PATH * 4];
    DWORD longLength = GetLongPathNameW(full, longName, sizeof longName / sizeof longName[0]);
    const wchar_t* tree = (longLength > 0 && longLength < sizeof longName / sizeof longName[0]) ? longName : full;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, tree, -1, path, static_cast<int>(size), nullptr, nullptr);
    return bytes > 0;
}

std::FILE* PlatformOpenStateFile(const char* name, char* why, std::size_t whySize) {
    SetWhy(why, whySize, "");
    const std::wstring folder = StateFolder();
    if (folder.empty()) {
        SetWhy(why, whySize, "LOCALAPPDATA is not set");
        return nullptr;
    }
    const std::wstring path = folder + L"\\" + Wide(name);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        SetWhy(why, whySize, "cannot read " + ShownPath(path) + ": not a regular file");
        return nullptr;
    }
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file && errno != ENOENT) SetWhy(why, whySize, "cannot read " + ShownPath(path));
    return file;
}

bool PlatformWriteStateFile(const char* name, const char* bytes, std::size_t count, char* why, std::size_t whySize) {
    const std::wstring folder = StateFolder();
    std::string reason = "LOCALAPPDATA is not set";
    bool done = !folder.empty() && WriteWhole(folder, name, bytes, count, reason);
    SetWhy(why, whySize, done ? "" : reason);
    return done;
}

void PlatformLeaveStatePath(const char* label, const char* name) {
    PlatformLeaveLine((std::string(label) + ShownPath(StateFolder() + L"\\" + Wide(name))).c_str());
}
