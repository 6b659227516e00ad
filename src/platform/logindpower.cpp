#include "platform/logindpower.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

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
    // https://www.freedesktop.org/software/systemd/man/org.freedesktop.login1.html
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), method);
    message << false;
    m_bus.asyncCall(message);
}
