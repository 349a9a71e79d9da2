// A platform for the fuzz targets: every data file the game opens holds the
// fuzzer's current input; the console swallows what is written.
#include "tests/fuzz/fuzz_platform.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/console_io.h"
#include "platform/data_files.h"
#include "platform/program.h"
#include "platform/state_files.h"

namespace {
const uint8_t* input = nullptr;
size_t inputSize = 0;
}  // namespace

void FuzzSetInput(const uint8_t* data, size_t size) {
    input = data;
    inputSize = size;
}

void PlatformStart() {}
bool PlatformEnterDataDirectory(const char*) { return true; }
const char* PlatformDataFolder(int n) { return n == 0 ? "." : nullptr; }
bool PlatformPlaceCursor(int x, int y) { return x >= 0 && y >= 0; }
void PlatformSetAttribute(unsigned) {}
void PlatformWrite(const char*, std::size_t) {}
bool PlatformKeyWaiting() { return false; }
int PlatformReadKey() { throw FuzzStop{}; }
void PlatformSleep(unsigned) {}
// The clock runs a second a reading, so that the fatal stop's wait ends at once.
void PlatformShowHint(const char*) {}
void PlatformShowFrame() {}
void PlatformLeaveLine(const char*) {}
void PlatformLeavePath(const char*, const char*) {}
void PlatformLeaveCommand(const char*, const char*) {}

void PlatformOnQuit(void (*)(), int) {}
long long PlatformSeconds() {
    static long long seconds = 0;
    return ++seconds;
}
long long PlatformMilliseconds() { return 0; }

std::FILE* PlatformOpenFile(const char*) {
    if (inputSize > 0) return fmemopen(const_cast<uint8_t*>(input), inputSize, "rb");
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return nullptr;
    if (inputSize > 0) std::fwrite(input, 1, inputSize, file);
    std::rewind(file);
    return file;
}

void PlatformExit(int) { throw FuzzStop{}; }

bool PlatformDataTreePath(char* path, std::size_t size) {
    std::snprintf(path, size, "/fuzz");
    return true;
}

std::FILE* PlatformOpenStateFile(const char*, char* why, std::size_t whySize) {
    if (whySize > 0) why[0] = '\0';
    return nullptr;
}

bool PlatformWriteStateFile(const char*, const char*, std::size_t, char* why, std::size_t whySize) {
    if (whySize > 0) why[0] = '\0';
    return false;
}

StateLock PlatformLockStateFile(const char*, char* why, std::size_t whySize) {
    if (whySize > 0) why[0] = '\0';
    return StateLock::kHeld;
}

void PlatformLeaveStatePath(const char*, const char*) {}
