#include "platform/localzone.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

// The zone is read once and read again when its file changes: a new zone
// shows from the next conversion on, as it did when every conversion looked.
class tst_LocalZone : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_savedTz;
    bool m_hadTz = false;

    QString zoneFile() const { return m_dir.filePath(QStringLiteral("localtime")); }

    // Points the zone file at a zone, replacing the link in one step, as a
    // system's time-zone setting does.
    void pointAt(const QString &zone)
    {
        const QString fresh = m_dir.filePath(QStringLiteral("localtime.new"));
        QFile::remove(fresh);
        QVERIFY(QFile::link(QStringLiteral("/usr/share/zoneinfo/") + zone, fresh));
        QVERIFY(std::rename(QFile::encodeName(fresh).constData(),
                            QFile::encodeName(zoneFile()).constData()) == 0);
    }

    // The offset of local time from UTC on a day in January and in July.
    static QPair<int, int> offsets()
    {
        const auto at = [](int month) {
            return QDateTime(QDate(2026, month, 15), QTime(12, 0), QTimeZone::utc())
                .toLocalTime()
                .offsetFromUtc();
        };
        return {at(1), at(7)};
    }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/Asia/Shanghai")))
            QSKIP("no zone data in /usr/share/zoneinfo");
        m_hadTz = qEnvironmentVariableIsSet("TZ");
        m_savedTz = qgetenv("TZ");
    }
    void init()
    {
        qunsetenv("TZ");
        pointAt(QStringLiteral("Asia/Shanghai"));
    }
    void cleanupTestCase()
    {
        if (m_hadTz)
            qputenv("TZ", m_savedTz);
        else
            qunsetenv("TZ");
    }

    void newZoneShowsAfterTheChange()
    {
        LocalZone zone(zoneFile());
        QVERIFY(LocalZone::ownsTz());
        QCOMPARE(offsets(), qMakePair(8 * 3600, 8 * 3600));

        QSignalSpy changed(&zone, &LocalZone::changed);
        pointAt(QStringLiteral("America/New_York"));
        QVERIFY(changed.wait(5000));
        // Summer and winter time come from the zone's own data.
        QCOMPARE(offsets(), qMakePair(-5 * 3600, -4 * 3600));

        // And again: the watch follows the file to its new target.
        changed.clear();
        pointAt(QStringLiteral("Europe/Berlin"));
        QVERIFY(changed.wait(5000));
        QCOMPARE(offsets(), qMakePair(3600, 2 * 3600));
    }

    void usersTzIsLeftAlone()
    {
        qputenv("TZ", "UTC");
        {
            LocalZone zone(zoneFile());
            QVERIFY(!LocalZone::ownsTz());
            QCOMPARE(qgetenv("TZ"), QByteArray("UTC"));
        }
        QCOMPARE(qgetenv("TZ"), QByteArray("UTC"));
    }

    void tzIsGivenBackWhenDone()
    {
        {
            LocalZone zone(zoneFile());
            QVERIFY(qEnvironmentVariableIsSet("TZ"));
        }
        QVERIFY(!qEnvironmentVariableIsSet("TZ"));
        QVERIFY(!LocalZone::ownsTz());
    }
};

QTEST_GUILESS_MAIN(tst_LocalZone)
#include "tst_localzone.moc"
