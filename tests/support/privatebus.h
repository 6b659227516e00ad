#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

/// A dbus-daemon of our own, listening on a socket in a temporary folder and
/// allowing everything; stopped when this object goes. Tests point
/// DBUS_SYSTEM_BUS_ADDRESS at it so nothing reaches the machine's real bus.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    /// Starts the daemon; false (with errorString()) when it cannot.
    bool start();
    QString address() const { return m_address; }
    QString errorString() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
};
