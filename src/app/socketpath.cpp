#include "app/socketpath.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/un.h>
#include <unistd.h>

qsizetype SocketPath::maxLength()
{
    return qsizetype(sizeof(sockaddr_un::sun_path)) - 1;
}

SocketPath::SocketPath(const QString &path)
{
    const QByteArray full = QFile::encodeName(path);
    if (full.size() <= maxLength()) {
        m_name = full;
        return;
    }
    const QFileInfo info(path);
    const QByteArray file = QFile::encodeName(info.fileName());
    m_folder = ::open(QFile::encodeName(info.path()).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0) {
        m_error = QStringLiteral("%1 is too long for a socket, and its folder cannot be opened: %2")
                      .arg(path, qt_error_string(errno));
        return;
    }
    const QByteArray name = "/proc/self/fd/" + QByteArray::number(m_folder) + '/' + file;
    if (name.size() > maxLength() || ::access(name.left(name.lastIndexOf('/')), F_OK) != 0) {
        m_error = QStringLiteral("%1 is too long for a socket, and /proc cannot stand in for it")
                      .arg(path);
        return;
    }
    m_name = name;
}

SocketPath::~SocketPath()
{
    if (m_folder >= 0)
        ::close(m_folder);
}
