// Makes writing to files below one folder fail with a chosen error, as an
// exhausted disk quota or a failing disk would: loaded with LD_PRELOAD into a
// program under test.
//   FAILWRITES_DIR    the folder (an absolute path)
//   FAILWRITES_ERRNO  the error number (default EIO)
//   FAILWRITES_CALL   the call that fails: "write" (default) or "fsync"
//                     (fsync and fdatasync), as on file systems that report
//                     a full disk only when the data goes out

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace {

bool failsHere(int fd, const char *call)
{
    const char *folder = std::getenv("FAILWRITES_DIR");
    if (!folder || !*folder)
        return false;
    const char *which = std::getenv("FAILWRITES_CALL");
    if (std::strcmp(which && *which ? which : "write", call) != 0)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    if (n < 0)
        return false;
    target[n] = '\0';
    const size_t length = std::strlen(folder);
    return std::strncmp(target, folder, length) == 0 && target[length] == '/';
}

int chosenError()
{
    const char *number = std::getenv("FAILWRITES_ERRNO");
    return number && *number ? std::atoi(number) : EIO;
}

template <typename Function> Function next(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t write(int fd, const void *data, size_t count)
{
    static const auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    if (failsHere(fd, "write")) {
        errno = chosenError();
        return -1;
    }
    return real(fd, data, count);
}

extern "C" int fsync(int fd)
{
    static const auto real = next<int (*)(int)>("fsync");
    if (failsHere(fd, "fsync")) {
        errno = chosenError();
        return -1;
    }
    return real(fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = next<int (*)(int)>("fdatasync");
    if (failsHere(fd, "fsync")) {
        errno = chosenError();
        return -1;
    }
    return real(fd);
}
