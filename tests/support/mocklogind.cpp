#include "mocklogind.h"

bool MockLogind::registerOn(QDBusConnection bus)
{
    return bus.registerObject(QString::fromLatin1(Path), this, QDBusConnection::ExportAllSlots) &&
           bus.registerService(QString::fromLatin1(Service));
}

void MockLogind::unregisterFrom(QDBusConnection bus)
{
    bus.unregisterService(QString::fromLatin1(Service));
    bus.unregisterObject(QString::fromLatin1(Path));
}

void MockLogind::PowerOff(bool interactive)
{
    record(QStringLiteral("PowerOff"), interactive);
}

void MockLogind::Reboot(bool interactive)
{
    record(QStringLiteral("Reboot"), interactive);
}

void MockLogind::record(const QString &method, bool interactive)
{
    const QString call = QStringLiteral("%1(%2)").arg(
        method, interactive ? QStringLiteral("true") : QStringLiteral("false"));
    calls << call;
    emit called(call);
}
