// Loaded into the game by the kill loop (LD_PRELOAD, Linux): fsync and rename
// each take 100 ms longer, so that a save lasts long enough for a kill to land
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
