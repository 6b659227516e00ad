#include "platform/filelock.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Attempt { Locked, Held, Again, Unusable };

// Older versions make the file (O_EXCL) and only then lock it; an empty file
// younger than this that nobody holds may be one of theirs in that instant.
constexpr qint64 OlderTakerMs = 250;

qint64 ageMs(const struct stat &st)
{
    const qint64 changedMs = qint64(st.st_ctim.tv_sec) * 1000 + st.st_ctim.tv_nsec / 1000000;
    return QDateTime::currentMSecsSinceEpoch() - changedMs;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/// One try at the lock; on Locked, `*fd` holds it.
Attempt tryOnce(const QByteArray &path, int *fd)
{
    // Whatever is not a regular file is not a lock: never opened, so a FIFO
    // cannot block and a device cannot be touched.
    struct stat st = {};
    if (::lstat(path.constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return Attempt::Unusable;
    // Not following links, and not blocking on whatever was put there since.
    constexpr int Flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int f = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | Flags, 0600);
    const bool made = f >= 0;
    if (f < 0 && errno == EEXIST)
        f = ::open(path.constData(), O_RDWR | Flags);
    if (f < 0 && (errno == EACCES || errno == EROFS))
        f = ::open(path.constData(), O_RDONLY | Flags); // a lock needs no writing
    if (f < 0)
        return errno == ENOENT ? Attempt::Again : Attempt::Unusable; // gone meanwhile
    if (::fstat(f, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(f);
        return Attempt::Unusable;
    }
    if (::flock(f, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK || errno == EINTR;
        ::close(f);
        return held ? Attempt::Held : Attempt::Unusable;
    }
    // A holder removes the file as it lets go: the lock counts only on the
    // file that is at the path now.
    struct stat now = {};
    if (::lstat(path.constData(), &now) != 0 || !sameFile(st, now)) {
        ::close(f);
        return Attempt::Again;
    }
    if (!made && now.st_size == 0 && ageMs(now) < OlderTakerMs) {
        ::close(f);
        return Attempt::Held;
    }
    *fd = f;
    return Attempt::Locked;
}

} // namespace

FileLock::FileLock(const QString &path, std::chrono::milliseconds wait)
    : m_path(QFile::encodeName(path))
{
    const QDeadlineTimer deadline(wait);
    qint64 pauseMs = 5;
    for (;;) {
        switch (tryOnce(m_path, &m_fd)) {
        case Attempt::Locked:
            m_state = State::Locked;
            return;
        case Attempt::Unusable:
            m_state = State::Unusable;
            return;
        case Attempt::Again:
            if (!deadline.hasExpired())
                continue;
            break;
        case Attempt::Held:
            if (!deadline.hasExpired()) {
                QThread::msleep(ulong(qBound<qint64>(1, pauseMs, deadline.remainingTime())));
                pauseMs = qMin<qint64>(pauseMs * 2, 100);
                continue;
            }
            break;
        }
        m_state = State::Held;
        return;
    }
}

FileLock::~FileLock()
{
    if (m_fd < 0)
        return;
    // Removed while still held, as older versions remove theirs, so none of
    // them ever meets a file to wait for. Only the file locked: nobody else
    // takes its place while the lock is held.
    struct stat mine = {}, now = {};
    if (::fstat(m_fd, &mine) == 0 && ::lstat(m_path.constData(), &now) == 0 && sameFile(mine, now))
        ::unlink(m_path.constData());
    ::close(m_fd);
}
