#include "fakes.h"
#include "options/datetimesettings.h"

#include <QTest>

class tst_DateTimeSettings : public QObject {
    Q_OBJECT
private slots:
    void choosesTool_data();
    void choosesTool();
    void failureShowsMessage_data();
    void failureShowsMessage();
};

void tst_DateTimeSettings::choosesTool_data()
{
    QTest::addColumn<QStringList>("desktops");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QStringList>("expected"); ///< program then arguments; empty for none

    const QStringList everything{"gnome-control-center", "kcmshell6",      "kcmshell5",
                                 "systemsettings",       "time-admin",     "mate-time-admin",
                                 "cinnamon-settings",    "lxqt-admin-time"};
    QTest::newRow("GNOME") << QStringList{"GNOME"} << everything
                           << QStringList{"/usr/bin/gnome-control-center", "datetime"};
    QTest::newRow("Ubuntu's GNOME") << QStringList{"ubuntu", "GNOME"} << everything
                                    << QStringList{"/usr/bin/gnome-control-center", "datetime"};
    QTest::newRow("Plasma 6") << QStringList{"KDE"} << everything
                              << QStringList{"/usr/bin/kcmshell6", "kcm_clock"};
    QTest::newRow("Plasma 5") << QStringList{"KDE"} << QStringList{"kcmshell5", "systemsettings"}
                              << QStringList{"/usr/bin/kcmshell5", "kcm_clock"};
    QTest::newRow("Plasma, settings app only")
        << QStringList{"KDE"} << QStringList{"systemsettings", "time-admin"}
        << QStringList{"/usr/bin/systemsettings", "kcm_clock"};
    QTest::newRow("Xfce") << QStringList{"XFCE"} << everything
                          << QStringList{"/usr/bin/time-admin"};
    QTest::newRow("MATE") << QStringList{"MATE"} << everything
                          << QStringList{"/usr/bin/mate-time-admin"};
    QTest::newRow("Cinnamon") << QStringList{"X-Cinnamon"} << everything
                              << QStringList{"/usr/bin/cinnamon-settings", "calendar"};
    QTest::newRow("LXQt") << QStringList{"LXQt"} << everything
                          << QStringList{"/usr/bin/lxqt-admin-time"};
    QTest::newRow("desktop name in other case")
        << QStringList{"xfce"} << everything << QStringList{"/usr/bin/time-admin"};
    // Its own desktop's tool is missing: the first other one of the list.
    QTest::newRow("LXQt without its tool")
        << QStringList{"LXQt"} << QStringList{"mate-time-admin", "kcmshell5"}
        << QStringList{"/usr/bin/kcmshell5", "kcm_clock"};
    QTest::newRow("unknown desktop") << QStringList{"Sway"} << QStringList{"lxqt-admin-time"}
                                     << QStringList{"/usr/bin/lxqt-admin-time"};
    QTest::newRow("no desktop named")
        << QStringList{} << everything << QStringList{"/usr/bin/kcmshell6", "kcm_clock"};
    // gnome-control-center quits at once outside GNOME: never picked there.
    QTest::newRow("GNOME's tool elsewhere")
        << QStringList{"XFCE"} << QStringList{"gnome-control-center"} << QStringList{};
    QTest::newRow("nothing installed") << QStringList{"GNOME"} << QStringList{} << QStringList{};
}

void tst_DateTimeSettings::choosesTool()
{
    QFETCH(QStringList, desktops);
    QFETCH(QStringList, installed);
    QFETCH(QStringList, expected);

    FakeProcessLauncher launcher;
    launcher.desktops = desktops;
    for (const QString &name : installed)
        launcher.installed.insert(name, QStringLiteral("/usr/bin/") + name);

    const auto tool = DateTimeSettings::find(launcher);
    if (expected.isEmpty()) {
        QVERIFY(!tool);
        return;
    }
    QVERIFY(tool);
    QCOMPARE(QStringList{tool->program} + tool->arguments, expected);
}

void tst_DateTimeSettings::failureShowsMessage_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<bool>("message");
    QTest::newRow("started") << true << true << false;
    QTest::newRow("start fails") << true << false << true;
    QTest::newRow("no tool") << false << true << true;
}

void tst_DateTimeSettings::failureShowsMessage()
{
    QFETCH(bool, installed);
    QFETCH(bool, starts);
    QFETCH(bool, message);

    FakeProcessLauncher launcher;
    launcher.desktops = {QStringLiteral("MATE")};
    if (installed)
        launcher.installed.insert(QStringLiteral("mate-time-admin"),
                                  QStringLiteral("/usr/bin/mate-time-admin"));
    launcher.startResult = starts;
    FakeMessageBoxes messages;

    OpenDateTimeSettings(launcher, messages);

    QCOMPARE(launcher.started.size(), installed ? 1 : 0);
    if (installed)
        QCOMPARE(launcher.started.first().program, QStringLiteral("/usr/bin/mate-time-admin"));
    QCOMPARE(messages.texts,
             message ? QStringList{QStringLiteral("打开错误，请重试！")} : QStringList{});
    if (message)
        QCOMPARE(messages.captions, QStringList{QStringLiteral("Zirvel")});
}

QTEST_GUILESS_MAIN(tst_DateTimeSettings)
#include "tst_datetimesettings.moc"
