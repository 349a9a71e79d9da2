// Test helper for the Wine smoke test: runs a program in this console and
// reports the console's output code page before, during and after it, then
// ends with the program's exit status. Ctrl+C is left to the program. Sharing
// the console, it also makes the program's console not its own window.
//
// Usage: code_page_probe [--size-file PATH] program.exe [arguments...]
// With --size-file, whenever PATH appears holding "COLUMNS ROWS" the console
// is given that size (buffer and window) and PATH is removed: the test
// narrows and widens the console under the running program.
#include "platform/win32_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

BOOL WINAPI LeaveControlToTheProgram(DWORD) { return TRUE; }

// The console's buffer and window at the given size. The window never
// reaches past the buffer: the buffer grows first, then the window takes its
// size, then the buffer shrinks to it.
void SizeConsole(int columns, int rows) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(output, &info)) return;
    COORD size = {static_cast<SHORT>(columns), static_cast<SHORT>(rows)};
    COORD larger = {std::max(info.dwSize.X, size.X), std::max(info.dwSize.Y, size.Y)};
    SMALL_RECT window = {0, 0, static_cast<SHORT>(columns - 1), static_cast<SHORT>(rows - 1)};
    SetConsoleScreenBufferSize(output, larger);
    SetConsoleWindowInfo(output, TRUE, &window);
    SetConsoleScreenBufferSize(output, size);
}

void LookAtSizeFile(const char* path) {
    if (!path) return;
    std::FILE* file = std::fopen(path, "r");
    if (!file) return;
    int columns = 0;
    int rows = 0;
    bool read = std::fscanf(file, "%d %d", &columns, &rows) == 2;
    std::fclose(file);
    if (!read) return;  // still being written
    std::remove(path);
    if (columns > 0 && rows > 0) SizeConsole(columns, rows);
}

}  // namespace

int main(int argc, char** argv) {
    const char* sizeFile = nullptr;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--size-file") == 0) {
        sizeFile = argv[2];
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: code_page_probe [--size-file PATH] program.exe [arguments...]\n");
        return 2;
    }
    SetConsoleCtrlHandler(LeaveControlToTheProgram, TRUE);
    UINT before = GetConsoleOutputCP();

    std::string commandLine;
    for (int i = first; i < argc; ++i) {
        if (i > first) commandLine += ' ';
        commandLine += '"' + std::string(argv[i]) + '"';
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s\n", argv[first]);
        return 2;
    }
    UINT during = before;
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        UINT now = GetConsoleOutputCP();
        if (now != before) during = now;
        LookAtSizeFile(sizeFile);
    }
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    UINT after = GetConsoleOutputCP();

    char report[128];
    int length = std::snprintf(report, sizeof report, "\nPROBE code page before %u during %u after %u\n",
                               before, during, after);
    DWORD written = 0;
    WriteConsoleA(GetStdHandle(STD_OUTPUT_HANDLE), report, static_cast<DWORD>(length), &written, nullptr);
    return static_cast<int>(status);
}
