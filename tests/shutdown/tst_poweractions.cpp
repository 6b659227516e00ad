#include "shutdown/poweractions.h"
#include "shutdown/powerfailuretext.h"
#include "testenvironment.h"

#include <QTest>

Q_DECLARE_METATYPE(PowerRequest)
Q_DECLARE_METATYPE(PowerFailure)

namespace {

PowerFailure failure(PowerFailure::Kind kind, PowerParty party, const QString &name = {},
                     const QString &message = {})
{
    PowerFailure f;
    f.kind = kind;
    f.party = party;
    f.errorName = name;
    f.errorMessage = message;
    f.timeoutSeconds = 5;
    return f;
}

} // namespace

/// The power actions as the menus and the scheduler call them, and the
/// message a failure ends in.
class tst_PowerActions : public QObject {
    Q_OBJECT

private slots:
    void failureText_data()
    {
        QTest::addColumn<PowerRequest>("request");
        QTest::addColumn<PowerFailure>("failure");
        QTest::addColumn<QString>("text");
        using K = PowerFailure::Kind;

        PowerFailure inhibited =
            failure(K::Refused, PowerParty::Logind, "org.freedesktop.login1.BlockedByInhibitorLock",
                    "Operation denied due to active block inhibitor");
        inhibited.inhibitors = {{"文本编辑器", "有未保存的文档"}, {"备份", ""}};
        QTest::newRow("logind, blocked") << PowerRequest::PowerOff << inhibited
                                         << "无法关闭计算机。\r请求被 systemd-logind 拒绝：\r"
                                            "org.freedesktop.login1.BlockedByInhibitorLock\r"
                                            "Operation denied due to active block inhibitor\r"
                                            "阻止关机的程序：\r文本编辑器：有未保存的文档\r备份";
        QTest::newRow("logind, blocked, restart")
            << PowerRequest::Reboot << inhibited
            << "无法重新启动计算机。\r请求被 systemd-logind 拒绝：\r"
               "org.freedesktop.login1.BlockedByInhibitorLock\r"
               "Operation denied due to active block inhibitor\r"
               "阻止重新启动的程序：\r文本编辑器：有未保存的文档\r备份";
        QTest::newRow("logind asks for a password")
            << PowerRequest::PowerOff
            << failure(K::Refused, PowerParty::Logind,
                       "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
                       "Interactive authentication required.")
            << "无法关闭计算机。\r请求被 systemd-logind 拒绝：\r"
               "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired\r"
               "Interactive authentication required.";
        PowerFailure manager = failure(K::Refused, PowerParty::SessionManager,
                                       "org.gnome.SessionManager.NotInRunning");
        manager.service = "org.gnome.SessionManager";
        QTest::newRow("session manager, error without a message")
            << PowerRequest::Reboot << manager
            << "无法重新启动计算机。\r请求被会话管理器 org.gnome.SessionManager 拒绝：\r"
               "org.gnome.SessionManager.NotInRunning";
        manager.kind = K::NoAnswer;
        QTest::newRow("session manager, no answer")
            << PowerRequest::PowerOff << manager
            << "无法关闭计算机。\r会话管理器 org.gnome.SessionManager 在 5 秒内没有应答。";
        QTest::newRow("session bus, no answer")
            << PowerRequest::PowerOff << failure(K::NoAnswer, PowerParty::SessionBus)
            << "无法关闭计算机。\r会话总线在 5 秒内没有应答。";
        QTest::newRow("logind, no answer")
            << PowerRequest::PowerOff << failure(K::NoAnswer, PowerParty::Logind)
            << "无法关闭计算机。\rsystemd-logind 在 5 秒内没有应答。";
        QTest::newRow("no system bus")
            << PowerRequest::PowerOff
            << failure(K::Unreachable, PowerParty::SystemBus,
                       "org.freedesktop.DBus.Error.FileNotFound",
                       "Failed to connect to socket /run/dbus/system_bus_socket: No such file or "
                       "directory")
            << "无法关闭计算机。\r无法连接系统总线：\rorg.freedesktop.DBus.Error.FileNotFound\r"
               "Failed to connect to socket /run/dbus/system_bus_socket: No such file or directory";
    }
    void failureText()
    {
        QFETCH(PowerRequest, request);
        QFETCH(PowerFailure, failure);
        QFETCH(QString, text);
        QCOMPARE(powerFailureText(request, failure), text);
    }

    void aFailureIsShownAfterTheCallerReturned_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::newRow("ShutDown") << false;
        QTest::newRow("Restart") << true;
    }
    void aFailureIsShownAfterTheCallerReturned()
    {
        QFETCH(bool, restart);
        TestEnvironment env;
        env.power.failure = failure(PowerFailure::Kind::NoAnswer, PowerParty::SystemBus);
        PowerActions actions(env.services);
        restart ? actions.Restart() : actions.ShutDown(false);
        QCOMPARE(env.power.calls, QStringList{restart ? "Reboot" : "PowerOff"});
        QVERIFY(env.messages.texts.isEmpty());
        QTRY_COMPARE(env.messages.texts.size(), 1);
        QCOMPARE(env.messages.texts.first(),
                 powerFailureText(restart ? PowerRequest::Reboot : PowerRequest::PowerOff,
                                  *env.power.failure));
    }

    void successShowsNothing()
    {
        TestEnvironment env;
        PowerActions(env.services).ShutDown(true);
        QTest::qWait(50);
        QCOMPARE(env.power.calls, QStringList{"PowerOff"});
        QVERIFY(env.messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_PowerActions)
#include "tst_poweractions.moc"
