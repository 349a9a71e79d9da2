// The browser's state folder: each file is an item of the page's localStorage,
// named "chessrpg/" and the file's name, holding the file's bytes one
// character per byte. localStorage rather than IndexedDB because setItem
// replaces the item whole before it returns: the save is made when the game
// goes on, and closing or reloading the tab at any moment, even during the
// save the page makes as it goes away, leaves the old item or the new one.
// An IndexedDB transaction commits later, on its own, and one begun as the
// page goes away may never be committed. The page's side is web/page.js.
#include <emscripten.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/state_files.h"

// The item's bytes (at most `capacity` of them) and its length; -1 when there
// is none, with the reason in `why` ("" when it is only missing).
EM_JS(int, WebReadState, (const char* name, char* bytes, int capacity, char* why, int whySize), {
    var found = Module.page.readState(UTF8ToString(name));
    stringToUTF8(found.why, why, whySize);
    if (!found.bytes) return -1;
    HEAPU8.set(found.bytes.subarray(0, capacity), bytes);
    return found.bytes.length;
});
// Replaces the item; the reason it could not in `why`, else "".
EM_JS(void, WebWriteState, (const char* name, const char* bytes, int count, char* why, int whySize), {
    stringToUTF8(Module.page.writeState(UTF8ToString(name), HEAPU8.subarray(bytes, bytes + count)), why, whySize);
});
EM_JS(int, WebDataTreePath, (char* path, int size), {
    var tree = Module.page.dataTreePath();  // an address: ASCII, a byte a character
    if (tree.length >= size) return 0;
    stringToUTF8(tree, path, size);
    return 1;
});
// Takes the page's lock of that name for as long as the page lives (the Web
// Locks API; another tab's game holds it when it is taken): 1 taken, 0 held by
// another, -1 when the browser has no locks.
EM_ASYNC_JS(int, WebTakeLock, (const char* name), {
    if (!navigator.locks) return -1;
    var lockName = "chessrpg/" + UTF8ToString(name);
    return await new Promise(function(resolve) {
        navigator.locks.request(lockName, {ifAvailable: true}, function(lock) {
            resolve(lock ? 1 : 0);
            return lock ? new Promise(function() {}) : undefined;
        });
    });
});
EM_JS(void, WebLeaveStatePath, (const char* label, int size, const char* name), {
    Module.page.leaveStatePath(HEAPU8.slice(label, label + size), UTF8ToString(name));
});

namespace {

constexpr int kReasonSize = 256;

void SetWhy(char* why, std::size_t size, const char* text) {
    if (size > 0) std::snprintf(why, size, "%s", text);
}

}  // namespace

// The address of the page's data folder, without its query or fragment: one
// save for each place the game is served from.
bool PlatformDataTreePath(char* path, std::size_t size) {
    return size <= INT_MAX && WebDataTreePath(path, static_cast<int>(size)) != 0;
}

// The item's bytes as a file of the program's memory, which the game reads
// like any file and closes when it is done.
std::FILE* PlatformOpenStateFile(const char* name, char* why, std::size_t whySize) {
    char reason[kReasonSize];
    std::vector<char> bytes(4096);
    int count = WebReadState(name, bytes.data(), static_cast<int>(bytes.size()), reason, kReasonSize);
    if (count > static_cast<int>(bytes.size())) {
        bytes.resize(static_cast<std::size_t>(count));
        count = WebReadState(name, bytes.data(), count, reason, kReasonSize);
    }
    SetWhy(why, whySize, reason);
    if (count < 0) return nullptr;
    const std::size_t size = std::min(static_cast<std::size_t>(count), bytes.size());
    std::FILE* file = std::tmpfile();
    if (file && std::fwrite(bytes.data(), 1, size, file) == size && std::fflush(file) == 0) {
        std::rewind(file);
        return file;
    }
    if (file) std::fclose(file);
    SetWhy(why, whySize, "cannot read it: the program's memory is full");
    return nullptr;
}

bool PlatformWriteStateFile(const char* name, const char* bytes, std::size_t count, char* why, std::size_t whySize) {
    char reason[kReasonSize] = "the file is too large for the browser's storage";
    if (count <= INT_MAX) WebWriteState(name, bytes, static_cast<int>(count), reason, kReasonSize);
    SetWhy(why, whySize, reason);
    return reason[0] == '\0';
}

StateLock PlatformLockStateFile(const char* name, char* why, std::size_t whySize) {
    static std::vector<std::string> held;  // asked again, the page holds them still
    SetWhy(why, whySize, "");
    for (const std::string& lock : held) {
        if (lock == name) return StateLock::kHeld;
    }
    if (WebTakeLock(name) == 0) return StateLock::kBusy;
    held.push_back(name);
    return StateLock::kHeld;
}

void PlatformLeaveStatePath(const char* label, const char* name) {
    WebLeaveStatePath(label, static_cast<int>(std::strlen(label)), name);
}
