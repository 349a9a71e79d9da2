// The browser keeps no saves yet: the page has no state folder and no command
// line to continue from. Saving fails with no reason to tell, so the game says
// nothing of it, and --continue finds no save.
#include "platform/platform.h"

bool PlatformDataTreePath(char* path, std::size_t size) {
    if (size > 0) path[0] = '\0';
    return false;
}

std::FILE* PlatformOpenStateFile(const char*, char* why, std::size_t whySize) {
    if (whySize > 0) why[0] = '\0';
    return nullptr;
}

bool PlatformWriteStateFile(const char*, const char*, std::size_t, char* why, std::size_t whySize) {
    if (whySize > 0) why[0] = '\0';
    return false;
}

void PlatformLeaveStatePath(const char*, const char*) {}
