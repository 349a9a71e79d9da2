// The platform for the map tools: data files below a folder named on the command
// line, console output to standard error as UTF-8, no keyboard, and a clock that
// only sleeps move, so that a fatal stop ends the tool at once.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/console_io.h"
#include "platform/data_files.h"
#include "platform/posix_data_file.h"
#include "platform/program.h"
#include "platform/sjis_utf8.h"
#include "platform/state_files.h"
#include "tools/tool_platform.h"

namespace {

std::string dataRoot = ".";
long long sleptMs = 0;
bool quiet = false;
void (*exitHook)(int) = nullptr;

}  // namespace

void SetToolDataRoot(const char* root) { dataRoot = root; }
void SetToolConsoleQuiet(bool on) { quiet = on; }
void SetToolExitHook(void (*hook)(int)) { exitHook = hook; }

void PlatformStart() {}
bool PlatformEnterDataDirectory(const char*) { return true; }
const char* PlatformDataFolder(int n) { return n == 0 ? "." : nullptr; }
bool PlatformPlaceCursor(int x, int y) { return x >= 0 && y >= 0; }
void PlatformSetAttribute(unsigned) {}

void PlatformWrite(const char* bytes, std::size_t count) {
    if (quiet) return;
    std::string text = SjisToUtf8(bytes, count);
    std::fwrite(text.data(), 1, text.size(), stderr);
}

bool PlatformKeyWaiting() { return false; }
int PlatformReadKey() { PlatformExit(2); }
void PlatformSleep(unsigned milliseconds) { sleptMs += milliseconds; }
void PlatformShowHint(const char*) {}
void PlatformShowFrame() {}
void PlatformLeaveLine(const char*) {}
void PlatformLeavePath(const char*, const char*) {}
void PlatformLeaveCommand(const char*, const char*) {}

void PlatformOnQuit(void (*)(), int) {}
long long PlatformSeconds() { return sleptMs / 1000; }
long long PlatformMilliseconds() { return sleptMs; }

// Found and opened as the game finds and opens them.
std::FILE* PlatformOpenFile(const char* path) { return OpenDataFile(dataRoot, path); }

void PlatformExit(int status) {
    if (exitHook) exitHook(status);
    std::exit(status == 0 ? 0 : 2);
}

// The data tree is the folder named on the command line; the tools have no
// state folder of their own (data_check opens a save by its path).
bool PlatformDataTreePath(char* path, std::size_t size) {
    char* full = realpath(dataRoot.c_str(), nullptr);
    bool fits = full && std::strlen(full) < size;
    if (fits) std::snprintf(path, size, "%s", full);
    std::free(full);
    return fits;
}

std::FILE* PlatformOpenStateFile(const char*, char* why, std::size_t whySize) {
    if (whySize > 0) why[0] = '\0';
    return nullptr;
}

bool PlatformWriteStateFile(const char*, const char*, std::size_t, char* why, std::size_t whySize) {
    if (whySize > 0) std::snprintf(why, whySize, "the tools do not save");
    return false;
}

StateLock PlatformLockStateFile(const char*, char* why, std::size_t whySize) {
    if (whySize > 0) why[0] = '\0';
    return StateLock::kHeld;
}

void PlatformLeaveStatePath(const char*, const char*) {}
