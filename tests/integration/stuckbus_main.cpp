// A hung message bus for integration tests: a socket at PATH that accepts
// every connection and never reads or answers anything.
//   stuck_bus PATH        prints "ready" once it listens
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char *argv[])
{
    if (argc != 2 || std::strlen(argv[1]) >= sizeof(sockaddr_un::sun_path)) {
        std::fprintf(stderr, "usage: stuck_bus PATH\n");
        return 2;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, argv[1]);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ::unlink(argv[1]);
    if (listener < 0 ||
        ::bind(listener, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0 ||
        ::listen(listener, 64) != 0) {
        std::perror("stuck_bus");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::vector<int> held; // kept open, never read
    for (;;) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0)
            held.push_back(fd);
    }
}
