#include "platform/processlauncher.h"

#include <QProcess>
#include <QStandardPaths>

QString SystemProcessLauncher::findExecutable(const QString &name) const
{
    return QStandardPaths::findExecutable(name);
}

bool SystemProcessLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

QStringList SystemProcessLauncher::currentDesktops() const
{
    // freedesktop.org Desktop Entry format, "Recognized desktop entry keys" (OnlyShowIn).
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
}
