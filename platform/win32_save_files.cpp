// The game's state folder on Windows (%LOCALAPPDATA%\chessrpg): reading its
// files, writing one whole, and the lock that keeps one running game per
// save. %LOCALAPPDATA% is the player's own (its permissions keep other users
// out), so the folder is not examined further; its files are: only a file on
// disk opens, never a reparse point (a link or junction), and new files are
// created only where none is.
#include "platform/win32_api.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/program.h"
#include "platform/state_files.h"

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

// Opens a state file without following a reparse point; only a file on disk
// (no folder, pipe, device or link) stays open. INVALID_HANDLE_VALUE with the
// reason ("" when it does not exist).
HANDLE OpenRegular(const std::wstring& path, DWORD access, DWORD share, DWORD creation, std::string& why) {
    HANDLE file = CreateFileW(path.c_str(), access, share, nullptr, creation,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        DWORD attributes = GetFileAttributesW(path.c_str());  // a folder does not open as a file
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) why = "";
        else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            why = "cannot read " + ShownPath(path) + ": not a regular file";
        else why = Failure("cannot read", path, error);
        return INVALID_HANDLE_VALUE;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        CloseHandle(file);
        why = "cannot read " + ShownPath(path) + ": not a regular file";
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

// Each writer's new file is "NAME.tmp-PID"; a game killed while writing leaves
// its file behind. Those of processes that are gone are removed.
void RemoveLeftovers(const std::wstring& folder, const std::wstring& name) {
    const std::wstring prefix = name + L".tmp-";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + prefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        wchar_t* end = nullptr;
        unsigned long pid = std::wcstoul(found.cFileName + prefix.size(), &end, 10);
        if (*end != L'\0' || pid == 0 || pid == GetCurrentProcessId()) continue;
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        bool gone = process == nullptr ? GetLastError() == ERROR_INVALID_PARAMETER
                                       : WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        if (process) CloseHandle(process);
        if (gone) DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool MakeFolder(const std::wstring& folder, std::string& why) {
    if (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
    why = Failure("cannot make the folder", folder, GetLastError());
    return false;
}

bool WriteWhole(const std::wstring& folder, const char* name, const char* bytes, std::size_t count,
                std::string& why) {
    if (!MakeFolder(folder, why)) return false;
    RemoveLeftovers(folder, Wide(name));
    const std::wstring path = folder + L"\\" + Wide(name);
    const std::wstring temporary = path + L".tmp-" + std::to_wstring(GetCurrentProcessId());
    // Created only where nothing is: whatever stands at the name (an earlier
    // failed write of ours, or something planted) is taken away first.
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
        DeleteFileW(temporary.c_str());
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr);
    }
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
    std::string reason;
    HANDLE handle = OpenRegular(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                OPEN_EXISTING, reason);
    std::FILE* file = nullptr;
    if (handle != INVALID_HANDLE_VALUE) {
        int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
        file = descriptor >= 0 ? _fdopen(descriptor, "rb") : nullptr;
        if (!file) {
            if (descriptor >= 0) _close(descriptor);
            else CloseHandle(handle);
            reason = "cannot read " + ShownPath(path);
        }
    }
    SetWhy(why, whySize, reason);
    return file;
}

bool PlatformWriteStateFile(const char* name, const char* bytes, std::size_t count, char* why, std::size_t whySize) {
    const std::wstring folder = StateFolder();
    std::string reason = "LOCALAPPDATA is not set";
    bool done = !folder.empty() && WriteWhole(folder, name, bytes, count, reason);
    SetWhy(why, whySize, done ? "" : reason);
    return done;
}

StateLock PlatformLockStateFile(const char* name, char* why, std::size_t whySize) {
    // The locks this program holds, by name: asked again, it holds them still.
    static std::vector<std::string> held;
    SetWhy(why, whySize, "");
    for (const std::string& lock : held) {
        if (lock == name) return StateLock::kHeld;
    }
    const std::wstring folder = StateFolder();
    std::string reason = "LOCALAPPDATA is not set";
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!folder.empty() && MakeFolder(folder, reason)) {
        file = OpenRegular(folder + L"\\" + Wide(name), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_ALWAYS, reason);
    }
    if (file == INVALID_HANDLE_VALUE) {
        SetWhy(why, whySize, reason);
        return StateLock::kUnavailable;
    }
    OVERLAPPED whole = {};
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        held.push_back(name);  // and the handle stays open until the program ends
        return StateLock::kHeld;
    }
    DWORD error = GetLastError();
    CloseHandle(file);
    // A file system without locks: the game saves as it did without them.
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? StateLock::kBusy : StateLock::kHeld;
}

void PlatformLeaveStatePath(const char* label, const char* name) {
    PlatformLeaveLine((std::string(label) + ShownPath(StateFolder() + L"\\" + Wide(name))).c_str());
}
