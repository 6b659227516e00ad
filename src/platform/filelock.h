#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

/// An exclusive lock that processes of the user take on a file, for a short
/// piece of work: flock(2) on a regular file at `path`. The kernel lets go of
/// it when its holder ends, so a file left behind by a crash (empty, old or
/// holding anything) is taken at once, or after a quarter of a second when
/// it is empty and was made just now; the file's content is never read.
/// Anything at the path that is not a regular file (a folder, a FIFO, a
/// device, any link) is never opened nor waited for: the lock is then
/// Unusable and the caller goes ahead without it.
///
/// Older versions took the same files with QLockFile, which also holds
/// flock(2) on its file while locked, taken just after it made the file
/// empty: the two exclude each other.
class FileLock {
public:
    enum class State {
        Locked,   ///< held by this object until it is destroyed
        Held,     ///< another process held it for all of `wait`
        Unusable, ///< nothing at the path can be locked
    };

    FileLock(const QString &path, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    State state() const { return m_state; }
    bool isLocked() const { return m_state == State::Locked; }

private:
    QByteArray m_path;
    int m_fd = -1;
    State m_state = State::Unusable;
};
