#include "platform/logindpower.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

// Warnings are off unless enabled by a logging rule.
Q_LOGGING_CATEGORY(lcPower, "zirvel.power", QtCriticalMsg)

LogindPowerBackend::LogindPowerBackend(const QDBusConnection &bus) : m_bus(bus) {}

void LogindPowerBackend::powerOff()
{
    call(QStringLiteral("PowerOff"));
}

void LogindPowerBackend::reboot()
{
    call(QStringLiteral("Reboot"));
}

void LogindPowerBackend::call(const QString &method)
{
    // org.freedesktop.login1.Manager PowerOff(b interactive) / Reboot(b interactive),
    // https://www.freedesktop.org/software/systemd/man/org.freedesktop.login1.html
    // interactive = false: never ask for a password, refuse instead.
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), method);
    message << false;

    if (!m_bus)
        m_bus = QDBusConnection::systemBus();
    if (!m_bus->isConnected()) {
        qCWarning(lcPower) << method << "not sent:" << m_bus->lastError().message();
        return;
    }
    auto *watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(message));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [method](QDBusPendingCallWatcher *w) {
                         const QDBusPendingReply<> reply = *w;
                         if (reply.isError())
                             qCWarning(lcPower) << method << "refused:" << reply.error().name()
                                                << reply.error().message();
                         w->deleteLater();
                     });
}
