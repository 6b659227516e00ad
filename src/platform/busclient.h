#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <chrono>
#include <functional>

struct DBusConnection;
struct DBusMessage;
struct DBusPendingCall;

/// The answer to one step on a bus.
struct BusReply {
    enum class Status {
        Answered,    ///< values hold the out arguments
        Error,       ///< an error answer: errorName, errorMessage
        Unreachable, ///< no connection, or it broke: errorName, errorMessage
        NoAnswer,    ///< nothing came back before the deadline
    };
    Status status = Status::Answered;
    QString errorName;
    QString errorMessage;
    /// Out arguments: bool, int, uint, qlonglong, qulonglong, double, QString;
    /// arrays and structs as QVariantList.
    QVariantList values;

    bool ok() const { return status == Status::Answered; }
};

/// One method call. Arguments may be bool, int, uint or QString.
struct BusCall {
    QString service;
    QString path;
    QString interface;
    QString method;
    QVariantList args;
    /// False: sent flagged "no reply expected", done once it is written.
    bool expectReply = true;
};

/// A private connection to one message bus, used by one thread only, where
/// every step gives up at a deadline: libdbus's own blocking calls wait
/// without limit while the connection authenticates, so a bus that accepts
/// connections and never answers would hold the thread for ever.
/// https://dbus.freedesktop.org/doc/api/html/group__DBusConnection.html
class BusClient {
public:
    using Deadline = std::chrono::steady_clock::time_point;
    /// Told the deadline of every wait before it starts (a watchdog on
    /// another thread may act when a wait overruns, as in connect()).
    using WaitHook = std::function<void(Deadline)>;

    BusClient() = default;
    explicit BusClient(WaitHook onWait) : m_onWait(std::move(onWait)) {}
    ~BusClient();
    BusClient(const BusClient &) = delete;
    BusClient &operator=(const BusClient &) = delete;

    /// Connects to the bus at `address` and registers with it (Hello).
    BusReply open(const QString &address, Deadline deadline);
    BusReply call(const BusCall &call, Deadline deadline);
    /// org.freedesktop.DBus.ListNames / ListActivatableNames, as a list.
    QStringList names(bool activatable, Deadline deadline, BusReply *reply);

private:
    BusReply send(DBusMessage *message, bool expectReply, Deadline deadline);
    BusReply waitFor(DBusPendingCall *pending, Deadline deadline);
    void close();

    DBusConnection *m_connection = nullptr;
    WaitHook m_onWait;
};
