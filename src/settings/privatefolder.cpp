#include "settings/privatefolder.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace PrivateFolder {

QString distrust(const QString &path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return qt_error_string(errno);
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("it is a link");
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("it is not a folder");
    if (st.st_uid != ::geteuid())
        return QStringLiteral("it belongs to user %1").arg(st.st_uid);
    if (st.st_mode & 077)
        return QStringLiteral("others may use it, mode 0%1")
            .arg(st.st_mode & 07777, 3, 8, QLatin1Char('0'));
    return {};
}

} // namespace PrivateFolder
