#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QStringList>

/// One entry of logind's ListInhibitors answer, a(ssssuu).
struct LogindInhibitor {
    QString what;
    QString who;
    QString why;
    QString mode;
    uint uid = 0;
    uint pid = 0;
};
Q_DECLARE_METATYPE(LogindInhibitor)
QDBusArgument &operator<<(QDBusArgument &arg, const LogindInhibitor &i);
const QDBusArgument &operator>>(const QDBusArgument &arg, LogindInhibitor &i);

/// Stands in for systemd-logind on a private bus: owns org.freedesktop.login1
/// and records the power requests it receives, as "PowerOff(false)",
/// answering them with `refusal` when one is set. ListInhibitors lists
/// `inhibitors`. Never registered on the machine's real system bus.
class MockLogind : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    static constexpr char Service[] = "org.freedesktop.login1";
    static constexpr char Path[] = "/org/freedesktop/login1";

    MockLogind();

    /// Takes the name and exports the object; false when either fails.
    bool registerOn(QDBusConnection bus);
    void unregisterFrom(QDBusConnection bus);

    QStringList calls;
    QString refusalName; ///< an error name to answer power requests with
    QString refusalMessage;
    QList<LogindInhibitor> inhibitors;

public slots:
    void PowerOff(bool interactive);
    void Reboot(bool interactive);
    QList<LogindInhibitor> ListInhibitors();

signals:
    void called(const QString &call);

private:
    void record(const QString &method, bool interactive);
};
