#include "stuckbus.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

sockaddr_un socketAddress(const QByteArray &path)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.constData(), sizeof addr.sun_path - 1);
    return addr;
}

} // namespace

StuckBus::~StuckBus()
{
    // Closing the listener wakes a client blocked in connect() (refused).
    for (int fd : m_held)
        ::close(fd);
    if (m_listener >= 0)
        ::close(m_listener);
}

bool StuckBus::start()
{
    const QByteArray path = m_dir.filePath("bus").toLocal8Bit();
    if (!m_dir.isValid() || path.size() >= int(sizeof(sockaddr_un::sun_path)))
        return false;
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un addr = socketAddress(path);
    // A backlog of 0 holds one connection: ours, below, so the next one waits.
    const int backlog = m_mode == Mode::Accepting ? 64 : 0;
    if (m_listener < 0 ||
        ::bind(m_listener, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0 ||
        ::listen(m_listener, backlog) != 0)
        return false;
    if (m_mode == Mode::NeverAccepting) {
        const int filler = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (filler < 0)
            return false;
        m_held.push_back(filler);
        if (::connect(filler, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0)
            return false;
    }
    // Accepting: the kernel completes connections up to the backlog without
    // accept(); nothing here ever reads them.
    return true;
}
