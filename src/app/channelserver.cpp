#include "app/channelserver.h"

#include <QLocalSocket>
#include <QSocketNotifier>
#include <QVariant>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Linux gives one code for a call that would block; EAGAIN covers both names.
static_assert(EAGAIN == EWOULDBLOCK);

namespace {

const char ExpiredProperty[] = "zirvelExpired";

int openSpare()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

} // namespace

ChannelServer::ChannelServer(QObject *parent) : QObject(parent)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(100);
    connect(&m_retry, &QTimer::timeout, this, &ChannelServer::resume);
}

ChannelServer::~ChannelServer()
{
    delete m_notifier;
    if (m_listener >= 0)
        ::close(m_listener);
    if (m_spare >= 0)
        ::close(m_spare);
}

bool ChannelServer::expired(const QLocalSocket *socket)
{
    return socket->property(ExpiredProperty).toBool();
}

QString ChannelServer::listen(const QByteArray &name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || name.size() >= qsizetype(sizeof address.sun_path))
        return QStringLiteral("no room for the socket's name");
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listener < 0)
        return qt_error_string(errno);
    ::unlink(name.constData()); // left over by a crash; the caller holds the lock
    if (::bind(m_listener, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::chmod(name.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(m_listener, SOMAXCONN) != 0) {
        const QString problem = qt_error_string(errno);
        ::close(m_listener);
        m_listener = -1;
        return problem;
    }
    m_spare = openSpare();
    m_notifier = new QSocketNotifier(qintptr(m_listener), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ChannelServer::acceptWaiting);
    return {};
}

void ChannelServer::acceptWaiting()
{
    while (m_open < MaxConnections) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            adopt(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN)
            return;
        // (The system says so before it looks for a waiting connection.)
        if ((errno == EMFILE || errno == ENFILE) && m_spare >= 0) {
            const std::optional<bool> turnedAway = turnAway();
            if (turnedAway && !*turnedAway)
                return; // nobody was waiting
            if (turnedAway && m_spare >= 0)
                continue;
        }
        // Still no descriptor, or some other trouble: the waiting connection
        // keeps the socket readable, so look again in a moment, not at once.
        pause();
        return;
    }
    m_notifier->setEnabled(false); // the rest wait in the system's queue
}

void ChannelServer::adopt(int fd)
{
    auto *socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(fd, QLocalSocket::ConnectedState, QIODevice::ReadWrite)) {
        ::close(fd);
        delete socket;
        return;
    }
    ++m_open;
    connect(socket, &QObject::destroyed, this, [this] {
        --m_open;
        if (!m_retry.isActive())
            resume();
    });
    QTimer::singleShot(IdleMs, socket, [socket] {
        socket->setProperty(ExpiredProperty, true);
        socket->abort();
        socket->deleteLater();
    });
    emit connected(socket);
}

std::optional<bool> ChannelServer::turnAway()
{
    ::close(m_spare);
    const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int error = errno;
    if (fd >= 0) {
        // Small enough for the socket's buffer; should it not go, closing
        // without a word says as much.
        ::send(fd, m_refusal.constData(), size_t(m_refusal.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        ::close(fd);
    }
    m_spare = openSpare();
    if (fd >= 0)
        return true;
    if (error == EAGAIN)
        return false;
    return std::nullopt;
}

void ChannelServer::pause()
{
    m_notifier->setEnabled(false);
    m_retry.start();
}

void ChannelServer::resume()
{
    if (m_spare < 0)
        m_spare = openSpare();
    // A connection still waiting makes the notifier fire again.
    if (m_notifier && m_open < MaxConnections)
        m_notifier->setEnabled(true);
}
