#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

/// Stands in for systemd-logind on a private bus: owns org.freedesktop.login1
/// and records the power requests it receives, as "PowerOff(false)". Never
/// registered on the machine's real system bus.
class MockLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    static constexpr char Service[] = "org.freedesktop.login1";
    static constexpr char Path[] = "/org/freedesktop/login1";

    /// Takes the name and exports the object; false when either fails.
    bool registerOn(QDBusConnection bus);
    void unregisterFrom(QDBusConnection bus);

    QStringList calls;

public slots:
    void PowerOff(bool interactive);
    void Reboot(bool interactive);

signals:
    void called(const QString &call);

private:
    void record(const QString &method, bool interactive);
};
