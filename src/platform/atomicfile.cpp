#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

/// The result of one step: 0, or the errno value it failed with.
using Error = int;

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

bool isFolder(const QByteArray &path)
{
    struct stat st = {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

/// Creates the folder and those above it, as `mkdir -p` does.
Error makeFolders(const QByteArray &folder)
{
    if (isFolder(folder))
        return 0;
    for (qsizetype end = folder.indexOf('/', 1);; end = folder.indexOf('/', end + 1)) {
        const QByteArray part = end < 0 ? folder : folder.left(end);
        if (::mkdir(part.constData(), 0777) != 0) {
            if (errno != EEXIST)
                return errno;
            if (!isFolder(part))
                return ENOTDIR;
        }
        if (end < 0)
            return 0;
    }
}

/// The file a chain of links ends at (the path itself when it is no link),
/// whether or not that file exists.
Error finalTarget(QByteArray *path)
{
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st = {};
        if (::lstat(path->constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0; // anything wrong shows when the file is written
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(path->constData(), target.data(), size_t(target.size()));
        if (n < 0)
            return errno;
        target.truncate(n);
        *path = target.startsWith('/') ? target : folderOf(*path) + '/' + target;
    }
    return ELOOP;
}

Error writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        data += n;
        left -= n;
    }
    return 0;
}

/// Syncs a folder, so a rename in it survives a crash. File systems that
/// cannot sync a folder say EINVAL; that is no failure.
Error syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0; // a folder we may write but not read: nothing to sync through
    Error error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

/// A new file beside `target`, holding `bytes`, synced and closed; its name
/// in `temporary`. On failure nothing is left behind.
Error writeTemporary(const QByteArray &target, const QByteArray &bytes, QByteArray *temporary)
{
    struct stat old = {};
    const bool replacing = ::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        *temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
        if (fd < 0 && errno != EEXIST)
            return errno;
    }
    if (fd < 0)
        return EEXIST;
    Error error = 0;
    if (replacing && ::fchmod(fd, old.st_mode & 07777) != 0)
        error = errno;
    if (!error)
        error = writeAll(fd, bytes);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    // Some file systems (NFS) report a failed write only here.
    if (::close(fd) != 0 && !error && errno != EINTR)
        error = errno;
    if (error)
        ::unlink(temporary->constData());
    return error;
}

bool fail(Error error, QString *reason)
{
    if (reason)
        *reason = reasonText(error);
    return false;
}

} // namespace

QString reasonText(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁盘已满");
    case EDQUOT:
        return QStringLiteral("磁盘配额已用完");
    default:
        return qt_error_string(error);
    }
}

bool replace(const QString &path, const QByteArray &bytes, QString *reason)
{
    QByteArray target = QFile::encodeName(QDir::cleanPath(QDir().absoluteFilePath(path)));
    if (const Error error = makeFolders(folderOf(target)))
        return fail(error, reason);
    if (const Error error = finalTarget(&target))
        return fail(error, reason);
    QByteArray temporary;
    if (const Error error = writeTemporary(target, bytes, &temporary))
        return fail(error, reason);
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const Error error = errno;
        ::unlink(temporary.constData());
        return fail(error, reason);
    }
    if (const Error error = syncFolder(folderOf(target)))
        return fail(error, reason);
    return true;
}

Created create(const QString &path, const QByteArray &bytes, QString *reason)
{
    const QByteArray target = QFile::encodeName(QDir::cleanPath(QDir().absoluteFilePath(path)));
    QByteArray temporary;
    if (const Error error = writeTemporary(target, bytes, &temporary)) {
        fail(error, reason);
        return Created::Failed;
    }
    Error error = 0;
    bool linked = false;
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(),
                    RENAME_NOREPLACE) != 0) {
        error = errno;
        // File systems without that rename: a second link never replaces either.
        if (error == EINVAL || error == ENOSYS) {
            error = ::link(temporary.constData(), target.constData()) == 0 ? 0 : errno;
            linked = true;
        }
    }
    if (error || linked)
        ::unlink(temporary.constData());
    if (error == EEXIST)
        return Created::Taken;
    if (error || (error = syncFolder(folderOf(target)))) {
        fail(error, reason);
        return Created::Failed;
    }
    return Created::Written;
}

} // namespace AtomicFile
