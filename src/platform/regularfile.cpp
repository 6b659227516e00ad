#include "platform/regularfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {

QString notRegularReason(mode_t mode)
{
    switch (mode & S_IFMT) {
    case S_IFDIR:
        return QStringLiteral("这是一个文件夹，不是普通文件");
    case S_IFIFO:
        return QStringLiteral("这是一个命名管道，不是普通文件");
    case S_IFSOCK:
        return QStringLiteral("这是一个套接字，不是普通文件");
    case S_IFCHR:
    case S_IFBLK:
        return QStringLiteral("这是一个设备，不是普通文件");
    default:
        return QStringLiteral("这不是普通文件");
    }
}

QString tooLargeReason(qint64 maxSize)
{
    return QStringLiteral("文件大于 %1 字节").arg(maxSize);
}

Content unreadable(const QString &reason)
{
    return Content{Content::State::Unreadable, {}, reason};
}

} // namespace

Content read(const QString &path, qint64 maxSize)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st = {};
    if (::stat(native.constData(), &st) != 0) {
        if (errno == ENOTDIR)
            return Content{}; // a plain file where a folder should be: nothing here
        if (errno == ENOENT) {
            // A link pointing nowhere is missing too; anything else is a fault.
            struct stat link = {};
            if (::lstat(native.constData(), &link) != 0 || S_ISLNK(link.st_mode))
                return Content{};
        }
        return unreadable(qt_error_string(errno));
    }
    if (!S_ISREG(st.st_mode))
        return unreadable(notRegularReason(st.st_mode));
    if (st.st_size > maxSize)
        return unreadable(tooLargeReason(maxSize));

    // Non-blocking, so a FIFO swapped in after the check cannot hang us; the
    // descriptor is checked again before anything is read from it.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return unreadable(qt_error_string(errno));
    Content content{Content::State::Read, {}, {}};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        content = unreadable(notRegularReason(st.st_mode));
    } else {
        QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
        qsizetype total = 0;
        for (;;) {
            if (total == bytes.size()) {
                if (total > maxSize)
                    break;
                bytes.resize(qMin<qint64>(maxSize + 1, total * 2 + 4096));
            }
            const ssize_t n = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                content = unreadable(qt_error_string(errno));
                break;
            }
            if (n == 0)
                break;
            total += n;
        }
        if (content.state == Content::State::Read) {
            if (total > maxSize) {
                content = unreadable(tooLargeReason(maxSize));
            } else {
                bytes.truncate(total);
                content.bytes = bytes;
            }
        }
    }
    ::close(fd);
    return content;
}

} // namespace RegularFile
