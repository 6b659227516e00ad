#include "mocklogind.h"
#include "platform/logindpower.h"
#include "privatebus.h"
#include "shutdown/poweractions.h"

#include <QDBusConnectionInterface>
#include <QTest>

namespace {

QStringList logged;

void capture(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (qstrcmp(context.category, "zirvel.power") == 0)
        logged << message;
}

} // namespace

/// The real logind backend, against a dbus-daemon of the test's own with a
/// mock logind on it: the machine's system bus is never touched.
class tst_LogindPower : public QObject {
    Q_OBJECT

    PrivateBus bus;
    MockLogind logind;
    QtMessageHandler previousHandler = nullptr;

    QDBusConnection mockSide() { return QDBusConnection(QStringLiteral("mock-logind")); }

private slots:
    void initTestCase()
    {
        QVERIFY2(bus.start(), qPrintable(bus.errorString()));
        // Before the first use of the system bus in this process.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());
        QDBusConnection side = QDBusConnection::connectToBus(bus.address(), "mock-logind");
        QVERIFY(side.isConnected());
        QVERIFY(logind.registerOn(side));
        const QDBusConnection system = QDBusConnection::systemBus();
        QVERIFY(system.isConnected());
        QCOMPARE(system.interface()->serviceOwner(MockLogind::Service).value(), side.baseService());
        previousHandler = qInstallMessageHandler(capture);
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }
    void init()
    {
        logind.calls.clear();
        logged.clear();
        QLoggingCategory::setFilterRules(QString());
    }

    void requests_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("call");
        QTest::newRow("ShutDown(0)") << "shutdown0"
                                     << "PowerOff(false)";
        QTest::newRow("ShutDown(1): the same request") << "shutdown1"
                                                       << "PowerOff(false)";
        QTest::newRow("Restart") << "restart"
                                 << "Reboot(false)";
    }
    void requests()
    {
        QFETCH(QString, action);
        QFETCH(QString, call);
        LogindPowerBackend backend;
        PowerActions power(backend);
        if (action == "restart")
            power.Restart();
        else
            power.ShutDown(action == "shutdown1" ? 1 : 0);
        QTRY_COMPARE(logind.calls, QStringList{call});
        QTest::qWait(50); // nothing else follows
        QCOMPARE(logind.calls, QStringList{call});
        QVERIFY(logged.isEmpty());
    }

    void failuresAreSilentUnlessAsked()
    {
        QVERIFY(!lcPower().isWarningEnabled());
        logind.unregisterFrom(mockSide());
        QLoggingCategory::setFilterRules(QStringLiteral("zirvel.power.warning=true"));
        LogindPowerBackend backend;
        backend.powerOff(); // nobody owns the name: refused
        backend.reboot();
        QTRY_COMPARE(logged.size(), 2);
        QVERIFY2(logged.at(0).contains("PowerOff") && logged.at(0).contains("ServiceUnknown"),
                 qPrintable(logged.at(0)));
        QVERIFY2(logged.at(1).contains("Reboot"), qPrintable(logged.at(1)));
        QVERIFY(logind.registerOn(mockSide()));
        QVERIFY(logind.calls.isEmpty());
    }

    void noBusAtAll()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("zirvel.power.warning=true"));
        LogindPowerBackend backend(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/zirvel-bus"), QStringLiteral("absent")));
        backend.powerOff();
        backend.reboot();
        QCOMPARE(logged.size(), 2);
        QVERIFY(logged.first().startsWith("\"PowerOff\" not sent"));
    }
};

QTEST_GUILESS_MAIN(tst_LogindPower)
#include "tst_logindpower.moc"
