#include "app/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {
QString runtimeDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

QString displayTag()
{
    QString display = qEnvironmentVariable("DISPLAY");
    display.remove(QLatin1Char(':')).remove(QLatin1Char('/'));
    return display;
}
} // namespace

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent), m_name(name + QLatin1Char('-') + displayTag())
{
}

SingleInstance::~SingleInstance()
{
    delete m_server;
    delete m_lock;
}

bool SingleInstance::claim()
{
    const QString base = runtimeDir() + QLatin1Char('/') + m_name;
    m_lock = new QLockFile(base + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(100))
        return false;

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString socket = base + QStringLiteral(".socket");
    QLocalServer::removeServer(socket); // left over by a crash; we hold the lock
    if (!m_server->listen(socket))
        return true; // still the only instance; raising just won't work
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            client->disconnectFromServer();
            emit activationRequested();
        }
    });
    return true;
}

bool SingleInstance::notifyRunning()
{
    QLocalSocket socket;
    socket.connectToServer(runtimeDir() + QLatin1Char('/') + m_name + QStringLiteral(".socket"));
    return socket.waitForConnected(1000);
}
