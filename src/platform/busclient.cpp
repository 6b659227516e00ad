#include "platform/busclient.h"

#include <dbus/dbus.h>

#include <algorithm>

namespace {

using SteadyClock = std::chrono::steady_clock;

// The bus daemon's own interface, as documented at https://dbus.freedesktop.org/doc/
// ("Message Bus Messages").
constexpr char BusService[] = "org.freedesktop.DBus";
constexpr char BusPath[] = "/org/freedesktop/DBus";

/// Milliseconds left until the deadline, at least 0.
int millisecondsUntil(BusClient::Deadline deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return int(std::clamp<qint64>(left.count(), 0, 24 * 3600 * 1000));
}

BusReply failure(BusReply::Status status, const QString &name, const QString &message)
{
    BusReply reply;
    reply.status = status;
    reply.errorName = name;
    reply.errorMessage = message;
    return reply;
}

BusReply fromError(BusReply::Status status, const DBusError &error)
{
    return failure(status, QString::fromUtf8(error.name), QString::fromUtf8(error.message));
}

bool appendArgument(DBusMessageIter *it, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool: {
        const dbus_bool_t b = value.toBool();
        return dbus_message_iter_append_basic(it, DBUS_TYPE_BOOLEAN, &b);
    }
    case QMetaType::Int: {
        const dbus_int32_t i = value.toInt();
        return dbus_message_iter_append_basic(it, DBUS_TYPE_INT32, &i);
    }
    case QMetaType::UInt: {
        const dbus_uint32_t u = value.toUInt();
        return dbus_message_iter_append_basic(it, DBUS_TYPE_UINT32, &u);
    }
    case QMetaType::QString: {
        const QByteArray utf8 = value.toString().toUtf8();
        const char *s = utf8.constData();
        return dbus_message_iter_append_basic(it, DBUS_TYPE_STRING, &s);
    }
    default:
        return false;
    }
}

QVariant readArgument(DBusMessageIter *it)
{
    const int type = dbus_message_iter_get_arg_type(it);
    if (type == DBUS_TYPE_ARRAY || type == DBUS_TYPE_STRUCT || type == DBUS_TYPE_DICT_ENTRY ||
        type == DBUS_TYPE_VARIANT) {
        DBusMessageIter sub;
        dbus_message_iter_recurse(it, &sub);
        QVariantList items;
        while (dbus_message_iter_get_arg_type(&sub) != DBUS_TYPE_INVALID) {
            items << readArgument(&sub);
            dbus_message_iter_next(&sub);
        }
        if (type == DBUS_TYPE_VARIANT)
            return items.value(0);
        return items;
    }
    DBusBasicValue v{};
    if (!dbus_type_is_basic(type))
        return {};
    dbus_message_iter_get_basic(it, &v);
    switch (type) {
    case DBUS_TYPE_BOOLEAN:
        return bool(v.bool_val);
    case DBUS_TYPE_BYTE:
        return uint(v.byt);
    case DBUS_TYPE_INT16:
        return int(v.i16);
    case DBUS_TYPE_UINT16:
        return uint(v.u16);
    case DBUS_TYPE_INT32:
        return int(v.i32);
    case DBUS_TYPE_UINT32:
        return uint(v.u32);
    case DBUS_TYPE_INT64:
        return qlonglong(v.i64);
    case DBUS_TYPE_UINT64:
        return qulonglong(v.u64);
    case DBUS_TYPE_DOUBLE:
        return v.dbl;
    case DBUS_TYPE_STRING:
    case DBUS_TYPE_OBJECT_PATH:
    case DBUS_TYPE_SIGNATURE:
        return QString::fromUtf8(v.str);
    default:
        return {};
    }
}

BusReply readReply(DBusMessage *message)
{
    if (dbus_message_get_type(message) == DBUS_MESSAGE_TYPE_ERROR) {
        DBusError error;
        dbus_error_init(&error);
        dbus_set_error_from_message(&error, message);
        BusReply reply = fromError(BusReply::Status::Error, error);
        dbus_error_free(&error);
        return reply;
    }
    BusReply reply;
    DBusMessageIter it;
    if (dbus_message_iter_init(message, &it)) {
        do
            reply.values << readArgument(&it);
        while (dbus_message_iter_next(&it));
    }
    return reply;
}

} // namespace

BusClient::~BusClient()
{
    close();
}

void BusClient::close()
{
    if (!m_connection)
        return;
    dbus_connection_close(m_connection);
    dbus_connection_unref(m_connection);
    m_connection = nullptr;
}

BusReply BusClient::open(const QString &address, Deadline deadline)
{
    close();
    if (m_onWait)
        m_onWait(deadline); // connect() itself may block on a socket that never accepts
    DBusError error;
    dbus_error_init(&error);
    m_connection = dbus_connection_open_private(address.toUtf8().constData(), &error);
    if (!m_connection) {
        BusReply reply = fromError(BusReply::Status::Unreachable, error);
        dbus_error_free(&error);
        return reply;
    }
    dbus_connection_set_exit_on_disconnect(m_connection, false);

    // Hello by hand: dbus_bus_register() would wait without a limit.
    DBusMessage *hello = dbus_message_new_method_call(BusService, BusPath, BusService, "Hello");
    BusReply reply = send(hello, true, deadline);
    if (!reply.ok()) {
        close();
        return reply;
    }
    dbus_bus_set_unique_name(m_connection, reply.values.value(0).toString().toUtf8().constData());
    return reply;
}

BusReply BusClient::call(const BusCall &call, Deadline deadline)
{
    if (!m_connection)
        return failure(BusReply::Status::Unreachable, QString::fromLatin1(DBUS_ERROR_DISCONNECTED),
                       QStringLiteral("Not connected"));
    DBusMessage *message = dbus_message_new_method_call(
        call.service.toUtf8().constData(), call.path.toUtf8().constData(),
        call.interface.toUtf8().constData(), call.method.toUtf8().constData());
    if (!message)
        return failure(BusReply::Status::Error, QString::fromLatin1(DBUS_ERROR_NO_MEMORY),
                       QStringLiteral("Out of memory"));
    DBusMessageIter it;
    dbus_message_iter_init_append(message, &it);
    for (const QVariant &arg : call.args) {
        if (!appendArgument(&it, arg)) {
            dbus_message_unref(message);
            return failure(BusReply::Status::Error, QString::fromLatin1(DBUS_ERROR_INVALID_ARGS),
                           QStringLiteral("Unsupported argument type"));
        }
    }
    if (!call.expectReply)
        dbus_message_set_no_reply(message, true);
    return send(message, call.expectReply, deadline);
}

QStringList BusClient::names(bool activatable, Deadline deadline, BusReply *reply)
{
    *reply =
        call({QString::fromLatin1(BusService),
              QString::fromLatin1(BusPath),
              QString::fromLatin1(BusService),
              activatable ? QStringLiteral("ListActivatableNames") : QStringLiteral("ListNames"),
              {}},
             deadline);
    QStringList names;
    for (const QVariant &name : reply->values.value(0).toList())
        names << name.toString();
    return names;
}

BusReply BusClient::send(DBusMessage *message, bool expectReply, Deadline deadline)
{
    if (m_onWait)
        m_onWait(deadline);
    if (!expectReply) {
        const bool queued = dbus_connection_send(m_connection, message, nullptr);
        dbus_message_unref(message);
        if (!queued)
            return failure(BusReply::Status::Unreachable,
                           QString::fromLatin1(DBUS_ERROR_DISCONNECTED),
                           QStringLiteral("The connection is closed"));
        while (dbus_connection_get_is_connected(m_connection) &&
               dbus_connection_has_messages_to_send(m_connection)) {
            const int left = millisecondsUntil(deadline);
            if (left == 0)
                return failure(BusReply::Status::NoAnswer, QString::fromLatin1(DBUS_ERROR_TIMEOUT),
                               QStringLiteral("The request could not be written in time"));
            dbus_connection_read_write(m_connection, left);
        }
        if (dbus_connection_has_messages_to_send(m_connection))
            return failure(BusReply::Status::Unreachable,
                           QString::fromLatin1(DBUS_ERROR_DISCONNECTED),
                           QStringLiteral("The connection closed before the request was sent"));
        return {};
    }
    DBusPendingCall *pending = nullptr;
    const bool queued =
        dbus_connection_send_with_reply(m_connection, message, &pending, DBUS_TIMEOUT_INFINITE);
    dbus_message_unref(message);
    if (!queued || !pending)
        return failure(BusReply::Status::Unreachable, QString::fromLatin1(DBUS_ERROR_DISCONNECTED),
                       QStringLiteral("The connection is closed"));
    BusReply reply = waitFor(pending, deadline);
    dbus_pending_call_unref(pending);
    return reply;
}

BusReply BusClient::waitFor(DBusPendingCall *pending, Deadline deadline)
{
    // Pending calls complete only when the connection dispatches, hence
    // read_write_dispatch; each round waits no longer than the time left.
    while (!dbus_pending_call_get_completed(pending)) {
        const int left = millisecondsUntil(deadline);
        if (left == 0) {
            dbus_pending_call_cancel(pending);
            return failure(BusReply::Status::NoAnswer, QString::fromLatin1(DBUS_ERROR_TIMEOUT),
                           QStringLiteral("No answer in time"));
        }
        if (!dbus_connection_read_write_dispatch(m_connection, left) &&
            !dbus_pending_call_get_completed(pending)) {
            dbus_pending_call_cancel(pending);
            return failure(BusReply::Status::Unreachable,
                           QString::fromLatin1(DBUS_ERROR_DISCONNECTED),
                           QStringLiteral("The bus closed the connection"));
        }
    }
    DBusMessage *message = dbus_pending_call_steal_reply(pending);
    if (!message)
        return failure(BusReply::Status::Unreachable, QString::fromLatin1(DBUS_ERROR_DISCONNECTED),
                       QStringLiteral("The bus closed the connection"));
    BusReply reply = readReply(message);
    dbus_message_unref(message);
    return reply;
}
