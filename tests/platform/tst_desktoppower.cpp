#include "fakes.h"
#include "mockbusservice.h"
#include "mocklogind.h"
#include "mocksessionmanagers.h"
#include "platform/desktoppower.h"
#include "platform/services.h"
#include "privatebus.h"
#include "shutdown/poweractions.h"
#include "stuckbus.h"

#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(PowerRequest)
Q_DECLARE_METATYPE(MockBusService::Answer)

namespace {

QString whyNot(const PowerOutcome &outcome)
{
    return outcome.failure ? outcome.failure->errorName + ": " + outcome.failure->errorMessage
                           : QString();
}

} // namespace

/// The real power backend against dbus-daemons of the test's own, a session
/// bus with a mock session manager and a system bus with a mock logind, and
/// against sockets that never answer: the machine's buses are never touched.
class tst_DesktopPower : public QObject {
    Q_OBJECT

    static constexpr auto AnswerTime = 1000ms;

    PrivateBus sessionBus;
    PrivateBus systemBus;
    MockLogind logind;
    std::unique_ptr<MockBusService> manager;

    QDBusConnection sessionSide() { return QDBusConnection(QStringLiteral("mock-session")); }
    QDBusConnection systemSide() { return QDBusConnection(QStringLiteral("mock-system")); }
    PowerBuses buses() const { return {sessionBus.address(), systemBus.address(), {}}; }

    void addManager(const QString &family,
                    MockBusService::Answer answer = MockBusService::Answer::Reply)
    {
        manager = mockSessionManager(family);
        QVERIFY(manager);
        manager->answer = answer;
        QVERIFY(manager->registerOn(sessionSide()));
    }

    /// Requests through the backend and runs the event loop until the
    /// outcome comes; `ticks` counts a 20 ms timer meanwhile.
    std::optional<PowerOutcome> requestAndWait(const PowerBuses &target, PowerRequest what,
                                               int *ticks = nullptr)
    {
        DesktopPowerBackend backend(target, AnswerTime);
        std::optional<PowerOutcome> outcome;
        QTimer timer;
        int count = 0;
        connect(&timer, &QTimer::timeout, [&count] { ++count; });
        timer.start(20);
        backend.request(what, [&outcome](const PowerOutcome &o) { outcome = o; });
        QElapsedTimer waited;
        waited.start();
        while (!outcome && waited.elapsed() < 20000)
            QTest::qWait(20);
        if (ticks)
            *ticks = count;
        return outcome;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(sessionBus.start(), qPrintable(sessionBus.errorString()));
        QVERIFY2(systemBus.start(), qPrintable(systemBus.errorString()));
        QVERIFY(QDBusConnection::connectToBus(sessionBus.address(), "mock-session").isConnected());
        QVERIFY(QDBusConnection::connectToBus(systemBus.address(), "mock-system").isConnected());
    }
    void init()
    {
        logind.calls.clear();
        logind.refusalName.clear();
        logind.refusalMessage.clear();
        logind.inhibitors.clear();
        QVERIFY(logind.registerOn(systemSide()));
    }
    void cleanup()
    {
        if (manager)
            manager->unregisterFrom(sessionSide());
        manager.reset();
        logind.unregisterFrom(systemSide());
    }

    void sessionManagerFirst_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<PowerRequest>("request");
        QTest::addColumn<MockBusService::Answer>("answer");
        QTest::addColumn<QString>("call");
        const auto off = PowerRequest::PowerOff;
        const auto reboot = PowerRequest::Reboot;
        const auto reply = MockBusService::Answer::Reply;
        QTest::newRow("GNOME power-off")
            << "gnome" << off << reply << "org.gnome.SessionManager.Shutdown()";
        QTest::newRow("GNOME restart")
            << "gnome" << reboot << reply << "org.gnome.SessionManager.Reboot()";
        QTest::newRow("GNOME showing its end-session dialog: no answer yet")
            << "gnome" << off << MockBusService::Answer::Never
            << "org.gnome.SessionManager.Shutdown()";
        QTest::newRow("MATE power-off, no dialog")
            << "mate" << off << reply << "org.gnome.SessionManager.RequestShutdown()";
        QTest::newRow("MATE restart, no dialog")
            << "mate" << reboot << reply << "org.gnome.SessionManager.RequestReboot()";
        QTest::newRow("Cinnamon under its own name")
            << "cinnamon" << off << reply << "org.cinnamon.SessionManager.RequestShutdown()";
        QTest::newRow("Plasma power-off")
            << "kde" << off << reply << "org.kde.Shutdown.logoutAndShutdown()";
        QTest::newRow("Plasma restart")
            << "kde" << reboot << reply << "org.kde.Shutdown.logoutAndReboot()";
        QTest::newRow("older Plasma power-off: no confirmation, halt, default mode")
            << "ksmserver" << off << reply << "org.kde.KSMServerInterface.logout(0, 2, -1)";
        QTest::newRow("older Plasma restart")
            << "ksmserver" << reboot << reply << "org.kde.KSMServerInterface.logout(0, 1, -1)";
        QTest::newRow("Xfce power-off, saving allowed")
            << "xfce" << off << reply << "org.xfce.Session.Manager.Shutdown(true)";
        QTest::newRow("Xfce restart")
            << "xfce" << reboot << reply << "org.xfce.Session.Manager.Restart(true)";
        QTest::newRow("LXQt power-off, declared without a reply")
            << "lxqt" << off << MockBusService::Answer::Never << "org.lxqt.session.powerOff()";
        QTest::newRow("LXQt restart")
            << "lxqt" << reboot << MockBusService::Answer::Never << "org.lxqt.session.reboot()";
    }
    void sessionManagerFirst()
    {
        QFETCH(QString, family);
        QFETCH(PowerRequest, request);
        QFETCH(MockBusService::Answer, answer);
        QFETCH(QString, call);
        addManager(family, answer);
        const std::optional<PowerOutcome> outcome = requestAndWait(buses(), request);
        QVERIFY(outcome);
        QVERIFY2(outcome->ok(), qPrintable(whyNot(*outcome)));
        QCOMPARE(outcome->handledBy, manager->service());
        QCOMPARE(manager->calls, QStringList{call});
        QVERIFY(logind.calls.isEmpty());
    }

    void cancelledInGnomesOwnDialogIsNoFailure()
    {
        addManager("gnome", MockBusService::Answer::Error);
        manager->errorName = "org.gtk.GDBus.UnmappedGError.Quark._g_2dio_2derror_2dquark.Code19";
        manager->errorMessage = "Operation was cancelled";
        const std::optional<PowerOutcome> outcome = requestAndWait(buses(), PowerRequest::PowerOff);
        QVERIFY(outcome && outcome->ok());
        QCOMPARE(manager->calls, QStringList{"org.gnome.SessionManager.Shutdown()"});
    }

    void logindWhereNoSessionManagerIs_data()
    {
        QTest::addColumn<QString>("session");
        QTest::addColumn<PowerRequest>("request");
        QTest::addColumn<QString>("call");
        QTest::newRow("session bus without a manager")
            << "bus" << PowerRequest::PowerOff << "PowerOff(false)";
        QTest::newRow("restart") << "bus" << PowerRequest::Reboot << "Reboot(false)";
        QTest::newRow("no session bus") << "" << PowerRequest::PowerOff << "PowerOff(false)";
        QTest::newRow("session bus address with nothing there")
            << "unix:path=/nonexistent/zirvel-session" << PowerRequest::PowerOff
            << "PowerOff(false)";
    }
    void logindWhereNoSessionManagerIs()
    {
        QFETCH(QString, session);
        QFETCH(PowerRequest, request);
        QFETCH(QString, call);
        PowerBuses target = buses();
        if (session != "bus")
            target.sessionAddress = session;
        const std::optional<PowerOutcome> outcome = requestAndWait(target, request);
        QVERIFY(outcome);
        QVERIFY2(outcome->ok(), qPrintable(whyNot(*outcome)));
        QCOMPARE(outcome->handledBy, QString("org.freedesktop.login1"));
        QCOMPARE(logind.calls, QStringList{call});
    }

    /// Through PowerActions, as the menus and the scheduler use it: every
    /// failure ends in one message that names the reason, the event loop
    /// runs meanwhile, and nothing falls through to a second way of
    /// switching off.
    void failuresAreShown_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("expectedLines");
        QTest::addColumn<QStringList>("logindCalls");
        QTest::newRow("Xfce refuses")
            << "xfce-error"
            << QStringList{"无法关闭计算机。", "请求被会话管理器 org.xfce.SessionManager 拒绝：",
                           "org.xfce.SessionManager.Error.BadState",
                           "Session manager must be in idle state when requesting a shutdown"}
            << QStringList();
        QTest::newRow("Plasma does not answer")
            << "kde-silent"
            << QStringList{"无法关闭计算机。", "会话管理器 org.kde.Shutdown 在 1 秒内没有应答。"}
            << QStringList();
        QTest::newRow("logind refuses: blocked by an inhibitor")
            << "logind-inhibited"
            << QStringList{"无法关闭计算机。",
                           "请求被 systemd-logind 拒绝：",
                           "org.freedesktop.login1.BlockedByInhibitorLock",
                           "Operation denied due to active block inhibitor",
                           "阻止关机的程序：",
                           "文本编辑器：有未保存的文档"}
            << QStringList{"PowerOff(false)"};
        QTest::newRow("no logind")
            << "no-logind"
            << QStringList{"无法关闭计算机。", "请求被 systemd-logind 拒绝：",
                           "org.freedesktop.DBus.Error.ServiceUnknown",
                           "The name org.freedesktop.login1 was not provided by any .service files"}
            << QStringList();
        QTest::newRow("no system bus")
            << "no-system-bus"
            << QStringList{"无法关闭计算机。", "无法连接系统总线：",
                           "org.freedesktop.DBus.Error.FileNotFound",
                           "Failed to connect to socket /nonexistent/zirvel-system: No such file "
                           "or directory"}
            << QStringList();
        QTest::newRow("system bus accepts and never answers")
            << "stuck-system" << QStringList{"无法关闭计算机。", "系统总线在 1 秒内没有应答。"}
            << QStringList();
        QTest::newRow("system bus never accepts the connection")
            << "unaccepting-system"
            << QStringList{"无法关闭计算机。", "系统总线在 1 秒内没有应答。"} << QStringList();
        QTest::newRow("session bus accepts and never answers: no logind behind its back")
            << "stuck-session" << QStringList{"无法关闭计算机。", "会话总线在 1 秒内没有应答。"}
            << QStringList();
        QTest::newRow("session bus never accepts the connection")
            << "unaccepting-session"
            << QStringList{"无法关闭计算机。", "会话总线在 1 秒内没有应答。"} << QStringList();
    }
    void failuresAreShown()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, expectedLines);
        QFETCH(QStringList, logindCalls);

        PowerBuses target = buses();
        std::unique_ptr<StuckBus> stuck;
        const auto useStuck = [&](StuckBus::Mode mode, QString *address) {
            stuck = std::make_unique<StuckBus>(mode);
            QVERIFY(stuck->start());
            *address = stuck->address();
        };
        if (setup == "xfce-error") {
            addManager("xfce", MockBusService::Answer::Error);
            manager->errorName = "org.xfce.SessionManager.Error.BadState";
            manager->errorMessage =
                "Session manager must be in idle state when requesting a shutdown";
        } else if (setup == "kde-silent") {
            addManager("kde", MockBusService::Answer::Never);
        } else if (setup == "logind-inhibited") {
            logind.refusalName = "org.freedesktop.login1.BlockedByInhibitorLock";
            logind.refusalMessage = "Operation denied due to active block inhibitor";
            logind.inhibitors = {
                {"shutdown:sleep", "文本编辑器", "有未保存的文档", "block", 1000, 42},
                {"shutdown", "更新程序", "正在安装", "delay", 0, 7},
                {"sleep:idle", "播放器", "正在播放", "block", 1000, 43}};
        } else if (setup == "no-logind") {
            logind.unregisterFrom(systemSide());
        } else if (setup == "no-system-bus") {
            target.systemAddress = "unix:path=/nonexistent/zirvel-system";
        } else if (setup == "stuck-system") {
            useStuck(StuckBus::Mode::Accepting, &target.systemAddress);
        } else if (setup == "unaccepting-system") {
            useStuck(StuckBus::Mode::NeverAccepting, &target.systemAddress);
        } else if (setup == "stuck-session") {
            useStuck(StuckBus::Mode::Accepting, &target.sessionAddress);
        } else if (setup == "unaccepting-session") {
            useStuck(StuckBus::Mode::NeverAccepting, &target.sessionAddress);
        }

        DesktopPowerBackend backend(target, AnswerTime);
        FakeMessageBoxes messages;
        Services services;
        services.power = &backend;
        services.messages = &messages;
        QTimer timer;
        int ticks = 0;
        connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(20);
        PowerActions(services).ShutDown(true);
        QTRY_COMPARE_WITH_TIMEOUT(messages.texts.size(), 1, 15000);
        // A second or more went by waiting for an answer: the event loop ran on.
        if (expectedLines.last().endsWith("没有应答。"))
            QVERIFY2(ticks > 10, "the event loop stood still while the request waited");
        QCOMPARE(messages.texts.first().split('\r'), expectedLines);
        QCOMPARE(messages.captions.first(), QString("Zirvel"));
        QCOMPARE(logind.calls, logindCalls);
        if (manager)
            QCOMPARE(manager->calls.size(), 1);
        QTest::qWait(100);
        QCOMPARE(messages.texts.size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_DesktopPower)
#include "tst_desktoppower.moc"
