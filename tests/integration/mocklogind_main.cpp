// A stand-in for systemd-logind on a private bus, for integration tests:
// owns org.freedesktop.login1 on the bus named by DBUS_SYSTEM_BUS_ADDRESS
// (refusing to start without one, so it never touches the machine's real
// system bus) and appends every power request to a file, one per line.
//   mock_logind CALLS-FILE        prints "ready" once it owns the name
#include "mocklogind.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray address = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (argc != 2 || address.isEmpty()) {
        std::fprintf(stderr, "usage: DBUS_SYSTEM_BUS_ADDRESS=<private bus> mock_logind FILE\n");
        return 2;
    }
    QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("mock"));
    MockLogind logind;
    if (!bus.isConnected() || !logind.registerOn(bus)) {
        std::fprintf(stderr, "mock_logind: cannot own %s\n", MockLogind::Service);
        return 1;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    QObject::connect(&logind, &MockLogind::called, &app, [path](const QString &call) {
        QFile file(path);
        if (file.open(QIODevice::Append | QIODevice::Text))
            file.write(call.toUtf8() + '\n');
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
