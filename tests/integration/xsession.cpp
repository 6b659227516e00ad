#include "xsession.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

XSession::~XSession()
{
    for (QProcess *p : {&m_windowManager, &m_server}) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }
}

bool XSession::start()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (xvfb.isEmpty() || openbox.isEmpty()) {
        m_error = QStringLiteral("Xvfb and openbox are needed");
        return false;
    }
    // -displayfd: the server picks a free display and writes its number.
    m_server.start(xvfb,
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                    QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && m_server.waitForReadyRead(20000))
        number += m_server.readAllStandardOutput();
    if (!number.contains('\n')) {
        m_error = QStringLiteral("Xvfb did not start");
        return false;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    qputenv("DISPLAY", m_display.toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));

    // Nothing of the user's: private configuration and data folders.
    for (const char *name : {"config", "data"}) {
        const QString path = m_runtime.filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        qputenv(name == QByteArrayView("config") ? "XDG_CONFIG_HOME" : "XDG_DATA_HOME",
                QFile::encodeName(path));
    }

    // openbox drops map requests that arrive while it starts up; --startup
    // runs once it manages the screen.
    const QString ready = m_runtime.filePath(QStringLiteral("wm-ready"));
    m_windowManager.start(openbox, {QStringLiteral("--startup"), QStringLiteral("touch ") + ready});
    for (int i = 0; i < 600 && !QFile::exists(ready); ++i)
        QThread::msleep(50);
    if (QFile::exists(ready))
        return true;
    m_error = QStringLiteral("openbox did not start");
    return false;
}

QByteArray XSession::run(const QString &program, const QStringList &arguments) const
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QByteArray();
    return p.readAllStandardOutput();
}
