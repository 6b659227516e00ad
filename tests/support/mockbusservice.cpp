#include "mockbusservice.h"

#include <QDBusError>

MockBusService::MockBusService(QString service, QString path, QString interface,
                               QStringList methods)
    : m_service(std::move(service)), m_path(std::move(path)), m_interface(std::move(interface)),
      m_methods(std::move(methods))
{
}

bool MockBusService::registerOn(QDBusConnection bus)
{
    return bus.registerVirtualObject(m_path, this) && bus.registerService(m_service);
}

void MockBusService::unregisterFrom(QDBusConnection bus)
{
    bus.unregisterService(m_service);
    bus.unregisterObject(m_path);
}

QString MockBusService::introspect(const QString &) const
{
    QString xml = QStringLiteral("<interface name=\"%1\">").arg(m_interface);
    for (const QString &method : m_methods)
        xml += QStringLiteral("<method name=\"%1\"/>").arg(method);
    return xml + QStringLiteral("</interface>");
}

bool MockBusService::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    if (message.interface() != m_interface || !m_methods.contains(message.member())) {
        connection.send(
            message.createErrorReply(QDBusError::UnknownMethod,
                                     QStringLiteral("No such method '%1'").arg(message.member())));
        return true;
    }
    QStringList args;
    for (const QVariant &arg : message.arguments())
        args << (arg.typeId() == QMetaType::Bool
                     ? (arg.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                     : arg.toString());
    const QString call = QStringLiteral("%1.%2(%3)")
                             .arg(m_interface, message.member(), args.join(QStringLiteral(", ")));
    calls << call;
    emit called(call);
    switch (answer) {
    case Answer::Reply:
        connection.send(message.createReply());
        break;
    case Answer::Error:
        connection.send(message.createErrorReply(errorName, errorMessage));
        break;
    case Answer::Never:
        m_unanswered << message;
        break;
    }
    return true;
}
