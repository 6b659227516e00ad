// A stand-in for a desktop's session manager, for integration tests: owns
// the family's bus name on the bus at ADDRESS (given explicitly, so it never
// lands on the user's own session bus by accident) and appends every call it
// receives to a file, one per line, as "interface.Method(args)".
//   mock_session_manager ADDRESS FAMILY CALLS-FILE    prints "ready" once it owns the name
// FAMILY: gnome, mate, cinnamon, kde, ksmserver, xfce, lxqt.
#include "mocksessionmanagers.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: mock_session_manager ADDRESS FAMILY CALLS-FILE\n");
        return 2;
    }
    const std::unique_ptr<MockBusService> manager =
        mockSessionManager(QString::fromLocal8Bit(argv[2]));
    QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("mock"));
    if (!manager || !bus.isConnected() || !manager->registerOn(bus)) {
        std::fprintf(stderr, "mock_session_manager: cannot own the %s session manager's name\n",
                     argv[2]);
        return 1;
    }
    const QString path = QString::fromLocal8Bit(argv[3]);
    QObject::connect(manager.get(), &MockBusService::called, &app, [path](const QString &call) {
        QFile file(path);
        if (file.open(QIODevice::Append | QIODevice::Text))
            file.write(call.toUtf8() + '\n');
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
