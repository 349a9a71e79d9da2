// Loaded into the game (LD_PRELOAD, Linux) to play on a full disk: every
// write() to a regular file fails with ENOSPC; the terminal is written as usual.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

extern "C" ssize_t write(int descriptor, const void* bytes, size_t count) {
    using Write = ssize_t (*)(int, const void*, size_t);
    static Write real = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "write"));
    struct stat info;
    if (fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode)) {
        errno = ENOSPC;
        return -1;
    }
    return real(descriptor, bytes, count);
}
