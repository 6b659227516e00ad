#include "platform/processlauncher.h"

#include "platform/localzone.h"

#include <QProcess>
#include <QStandardPaths>

QString SystemProcessLauncher::findExecutable(const QString &name) const
{
    return QStandardPaths::findExecutable(name);
}

bool SystemProcessLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (LocalZone::ownsTz()) {
        // Our TZ only keeps this program from looking the zone up again and
        // again; the program started sees the zone the way it would without us.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("TZ"));
        process.setProcessEnvironment(environment);
    }
    return process.startDetached();
}

QStringList SystemProcessLauncher::currentDesktops() const
{
    // freedesktop.org Desktop Entry format, "Recognized desktop entry keys" (OnlyShowIn).
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
}
