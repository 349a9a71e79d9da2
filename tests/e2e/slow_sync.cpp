// Loaded into the game by the kill loop (LD_PRELOAD, Linux): fsync and rename
// (either call) each take 100 ms longer, so that a save lasts long enough for a kill to land
// inside it often, as it would on a slow disk.
#include <dlfcn.h>
#include <unistd.h>

namespace {
constexpr useconds_t kDelayUs = 100000;
}

extern "C" int fsync(int descriptor) {
    using Fsync = int (*)(int);
    static Fsync real = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
    usleep(kDelayUs);
    return real(descriptor);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    using Rename = int (*)(const char*, const char*);
    static Rename real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    usleep(kDelayUs);
    return real(from, to);
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept {
    using Renameat = int (*)(int, const char*, int, const char*);
    static Renameat real = reinterpret_cast<Renameat>(dlsym(RTLD_NEXT, "renameat"));
    usleep(kDelayUs);
    return real(fromFolder, from, toFolder, to);
}
