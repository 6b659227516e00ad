#include "platform/sessionmanagerchooser.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<SessionManagerKind>)

/// Which session manager a power request goes to, from the names on the
/// session bus, with XDG_CURRENT_DESKTOP only settling a tie.
class tst_SessionManagerChooser : public QObject {
    Q_OBJECT

private slots:
    void choose_data()
    {
        QTest::addColumn<QStringList>("owned");
        QTest::addColumn<QStringList>("activatable");
        QTest::addColumn<QStringList>("desktops");
        QTest::addColumn<std::optional<SessionManagerKind>>("expected");
        using K = SessionManagerKind;
        const std::optional<K> none;
        const QStringList bus{"org.freedesktop.DBus", ":1.7", "org.freedesktop.Notifications"};

        QTest::newRow("nothing on the bus: logind")
            << QStringList() << QStringList() << QStringList() << none;
        QTest::newRow("no manager among the names: logind")
            << bus << QStringList() << QStringList{"GNOME"} << none;
        QTest::newRow("GNOME") << bus + QStringList{"org.gnome.SessionManager"} << QStringList()
                               << QStringList{"GNOME"} << std::optional(K::Gnome);
        QTest::newRow("GNOME's name, desktop unknown")
            << QStringList{"org.gnome.SessionManager"} << QStringList() << QStringList()
            << std::optional(K::Gnome);
        QTest::newRow("MATE uses GNOME's name")
            << QStringList{"org.gnome.SessionManager"} << QStringList() << QStringList{"MATE"}
            << std::optional(K::Gnome);
        QTest::newRow("Cinnamon under its own name")
            << QStringList{"org.cinnamon.SessionManager"} << QStringList()
            << QStringList{"X-Cinnamon"} << std::optional(K::Cinnamon);
        QTest::newRow("Plasma: org.kde.Shutdown running")
            << QStringList{"org.kde.ksmserver", "org.kde.Shutdown"} << QStringList()
            << QStringList{"KDE"} << std::optional(K::KdeShutdown);
        QTest::newRow("Plasma: org.kde.Shutdown started on demand")
            << QStringList{"org.kde.ksmserver"} << QStringList{"org.kde.Shutdown"}
            << QStringList{"KDE"} << std::optional(K::KdeShutdown);
        QTest::newRow("org.kde.Shutdown alone, owned")
            << QStringList{"org.kde.Shutdown"} << QStringList() << QStringList()
            << std::optional(K::KdeShutdown);
        QTest::newRow("older Plasma: ksmserver only")
            << QStringList{"org.kde.ksmserver"} << QStringList() << QStringList{"KDE"}
            << std::optional(K::KsmServer);
        QTest::newRow("Plasma installed, not running: logind")
            << bus << QStringList{"org.kde.Shutdown"} << QStringList() << none;
        QTest::newRow("Plasma installed, GNOME running")
            << QStringList{"org.gnome.SessionManager"} << QStringList{"org.kde.Shutdown"}
            << QStringList{"GNOME"} << std::optional(K::Gnome);
        QTest::newRow("Xfce") << QStringList{"org.xfce.SessionManager"} << QStringList()
                              << QStringList{"XFCE"} << std::optional(K::Xfce);
        QTest::newRow("LXQt") << QStringList{"org.lxqt.session"} << QStringList()
                              << QStringList{"LXQt"} << std::optional(K::Lxqt);

        const QStringList xfceAndGnome{"org.gnome.SessionManager", "org.xfce.SessionManager"};
        QTest::newRow("tie, XFCE session")
            << xfceAndGnome << QStringList() << QStringList{"XFCE"} << std::optional(K::Xfce);
        QTest::newRow("tie, GNOME session")
            << xfceAndGnome << QStringList() << QStringList{"GNOME"} << std::optional(K::Gnome);
        QTest::newRow("tie, first desktop entry that names one decides")
            << xfceAndGnome << QStringList() << QStringList{"ubuntu", "GNOME", "XFCE"}
            << std::optional(K::Gnome);
        QTest::newRow("tie, desktop names compare without case")
            << xfceAndGnome << QStringList() << QStringList{"xfce"} << std::optional(K::Xfce);
        QTest::newRow("tie, desktop names neither: the desktop's own manager before GNOME's name")
            << xfceAndGnome << QStringList() << QStringList{"sway"} << std::optional(K::Xfce);
        QTest::newRow("tie, Plasma session")
            << QStringList{"org.gnome.SessionManager", "org.kde.ksmserver"}
            << QStringList{"org.kde.Shutdown"} << QStringList{"KDE"}
            << std::optional(K::KdeShutdown);
        QTest::newRow("tie, Budgie on GNOME's manager")
            << QStringList{"org.gnome.SessionManager", "org.lxqt.session"} << QStringList()
            << QStringList{"Budgie", "GNOME"} << std::optional(K::Gnome);
    }
    void choose()
    {
        QFETCH(QStringList, owned);
        QFETCH(QStringList, activatable);
        QFETCH(QStringList, desktops);
        QFETCH(std::optional<SessionManagerKind>, expected);
        QCOMPARE(chooseSessionManager(owned, activatable, desktops), expected);
    }
};

QTEST_GUILESS_MAIN(tst_SessionManagerChooser)
#include "tst_sessionmanagerchooser.moc"
