#include "mocklogind.h"

#include <QDBusMetaType>

QDBusArgument &operator<<(QDBusArgument &arg, const LogindInhibitor &i)
{
    arg.beginStructure();
    arg << i.what << i.who << i.why << i.mode << i.uid << i.pid;
    arg.endStructure();
    return arg;
}

const QDBusArgument &operator>>(const QDBusArgument &arg, LogindInhibitor &i)
{
    arg.beginStructure();
    arg >> i.what >> i.who >> i.why >> i.mode >> i.uid >> i.pid;
    arg.endStructure();
    return arg;
}

MockLogind::MockLogind()
{
    qDBusRegisterMetaType<LogindInhibitor>();
    qDBusRegisterMetaType<QList<LogindInhibitor>>();
}

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

QList<LogindInhibitor> MockLogind::ListInhibitors()
{
    return inhibitors;
}

void MockLogind::record(const QString &method, bool interactive)
{
    const QString call = QStringLiteral("%1(%2)").arg(
        method, interactive ? QStringLiteral("true") : QStringLiteral("false"));
    calls << call;
    if (!refusalName.isEmpty() && calledFromDBus())
        sendErrorReply(refusalName, refusalMessage);
    emit called(call);
}
