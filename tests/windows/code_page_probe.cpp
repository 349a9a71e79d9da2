// Test helper for the Wine smoke test: runs a program in this console and
// reports the console's output code page before, during and after it, then
// ends with the program's exit status. Ctrl+C is left to the program.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>

namespace {

BOOL WINAPI LeaveControlToTheProgram(DWORD) { return TRUE; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: code_page_probe program.exe\n");
        return 2;
    }
    SetConsoleCtrlHandler(LeaveControlToTheProgram, TRUE);
    UINT before = GetConsoleOutputCP();

    char commandLine[MAX_PATH + 3];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\"", argv[1]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 2;
    }
    UINT during = before;
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        UINT now = GetConsoleOutputCP();
        if (now != before) during = now;
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
