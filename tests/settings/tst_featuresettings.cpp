#include "savesettings.h"
#include "settings/featuresettings.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

#include <functional>

namespace {

using Change = std::function<bool(FeatureSettings &)>;

/// Counts the files moved into place in a folder while it lives: the
/// atomic replacements of the settings file.
class Replacements {
public:
    explicit Replacements(const QString &folder)
        : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          m_watch(inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_MOVED_TO))
    {
    }
    ~Replacements() { ::close(m_fd); }
    bool isValid() const { return m_fd >= 0 && m_watch >= 0; }
    /// The names moved in since the last call.
    QStringList names()
    {
        QStringList moved;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                return moved;
            for (ssize_t at = 0; at < n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (event->len > 0)
                    moved << QFile::decodeName(event->name);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    int m_fd;
    int m_watch;
};

} // namespace

Q_DECLARE_METATYPE(Change)

class tst_FeatureSettings : public QObject {
    Q_OBJECT

private slots:
    // One confirmed change is one replacement of the file, holding all of
    // its values, and one notice to whoever shows that feature.
    void oneChangeIsOneWrite_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QStringList>("after");
        // Which owners tell of the change: the typed hour and minute belong
        // to the boxes of both the alarm and the daily shutdown.
        QTest::addColumn<QStringList>("told");

        QTest::newRow("alarm set") << Change([](FeatureSettings &s) {
            return s.alarm.set({"7", "05"}, QStringLiteral("起床"), true);
        }) << QStringList{"hour=7", "minute=05", "prompt=起床", "itimer=7:05:00", "chkyntimer=0"}
                                   << QStringList{"alarm", "shutdown"};
        QTest::newRow("alarm time cleared")
            << Change([](FeatureSettings &s) { return s.alarm.clearTime(false); })
            << QStringList{"itimer=", "chkyntimer=1", "hour=9", "prompt=旧"}
            << QStringList{"alarm"};
        QTest::newRow("chime on") << Change([](FeatureSettings &s) { return s.chime.setOn(true); })
                                  << QStringList{"chkinttime=1"} << QStringList{"chime"};
        QTest::newRow("shutdown daily") << Change([](FeatureSettings &s) {
            return s.shutdown.setDaily({"22", "00"}, false, true);
        }) << QStringList{"hour=22",        "minute=0",       "timer=22:00:00", "timerdate=",
                          "chkclosetime=1", "chkImedClose=0", "chkopenclose=1"}
                                        << QStringList{"alarm", "shutdown"};
        QTest::newRow("shutdown once") << Change([](FeatureSettings &s) {
            return s.shutdown.setOnce(QDateTime(QDate(2026, 12, 11), QTime(0, 40, 3)), true, true);
        }) << QStringList{"timer=0:40:03",  "timerdate=2026-12-11", "chkclosetime=0",
                          "chkImedClose=1", "chkopenclose=1",       "hour=9"}
                                       << QStringList{"shutdown"};
        QTest::newRow("options OK")
            << Change([](FeatureSettings &s) { return s.options.save(true, false, true); })
            << QStringList{"chkinttime=1", "chkopenclose=0", "chkautorun=1"}
            << QStringList{"chime", "shutdown", "options"};
    }
    void oneChangeIsOneWrite()
    {
        QFETCH(Change, change);
        QFETCH(QStringList, after);
        QFETCH(QStringList, told);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zirvel.conf"));
        {
            SettingsStore before(path);
            saveSettings(before, {"hour=9", "minute=15", "prompt=旧", "itimer=9:15:00"});
        }
        SettingsStore store(path);
        FeatureSettings settings(store);
        QSignalSpy alarm(&settings.alarm, &AlarmSettings::changed);
        QSignalSpy chime(&settings.chime, &ChimeSettings::changed);
        QSignalSpy shutdown(&settings.shutdown, &ShutdownSettings::changed);
        QSignalSpy options(&settings.options, &OptionSettings::changed);
        Replacements replacements(dir.path());
        QVERIFY(replacements.isValid());

        QVERIFY(change(settings));
        QCOMPARE(replacements.names(), QStringList{"Zirvel.conf"});
        SettingsStore reread(path);
        for (const QString &entry : after) {
            const QString key = entry.section(QLatin1Char('='), 0, 0);
            QCOMPARE(key + QLatin1Char('=') + reread.get(QStringLiteral("Settings"), key), entry);
        }
        QCOMPARE(alarm.count(), told.contains("alarm") ? 1 : 0);
        QCOMPARE(chime.count(), told.contains("chime") ? 1 : 0);
        QCOMPARE(shutdown.count(), told.contains("shutdown") ? 1 : 0);
        QCOMPARE(options.count(), told.contains("options") ? 1 : 0);
    }

    // The hour and minute kept for the boxes are texts the boxes accept: a
    // full hour typed "00" comes back as "0", what else was typed as typed.
    void typedTimeComesBackAsTheBoxesAcceptIt_data()
    {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("shownHour");
        QTest::addColumn<QString>("shownMinute");
        QTest::newRow("7:05") << "7"
                              << "05"
                              << "7"
                              << "05";
        QTest::newRow("07:00") << "07"
                               << "00"
                               << "07"
                               << "0";
        QTest::newRow("00:00") << "00"
                               << "00"
                               << "0"
                               << "0";
        QTest::newRow("0:0") << "0"
                             << "0"
                             << "0"
                             << "0";
        QTest::newRow("23:59") << "23"
                               << "59"
                               << "23"
                               << "59";
    }
    void typedTimeComesBackAsTheBoxesAcceptIt()
    {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QTemporaryDir dir;
        SettingsStore store(dir.filePath(QStringLiteral("Zirvel.conf")));
        FeatureSettings settings(store);
        QVERIFY(settings.alarm.set({hour, minute}, QString(), true));
        QTEST(settings.alarm.boxTexts().hour, "shownHour");
        QTEST(settings.alarm.boxTexts().minute, "shownMinute");
        QVERIFY(settings.shutdown.setDaily({hour, minute}, false, true));
        QTEST(settings.shutdown.boxTexts().hour, "shownHour");
        QTEST(settings.shutdown.boxTexts().minute, "shownMinute");
        // What an older version stored as typed opens the same way.
        saveSettings(store, {"hour=" + hour, "minute=" + minute});
        QTEST(settings.alarm.boxTexts().hour, "shownHour");
        QTEST(settings.alarm.boxTexts().minute, "shownMinute");
    }

    void nothingIsWrittenForATimeThatIsNotOne()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Zirvel.conf"));
        SettingsStore store(path);
        FeatureSettings settings(store);
        QVERIFY(!settings.alarm.set({"24", "0"}, QString(), true));
        QVERIFY(!settings.shutdown.setDaily({"7", ""}, false, true));
        QVERIFY(!QFile::exists(path));
    }

    // A countdown is 0 to LongestCountdown minutes, whoever asks for it.
    void countdownEndStaysInItsRange_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QDateTime>("end");
        const QDate d(2026, 3, 2);
        QTest::newRow("a day") << ShutdownSettings::LongestCountdown
                               << QDateTime(d.addDays(1), QTime(0, 0));
        QTest::newRow("more than a day: a day") << 5000 << QDateTime(d.addDays(1), QTime(0, 0));
        QTest::newRow("negative: now") << -5 << QDateTime(d, QTime(0, 0));
    }
    void countdownEndStaysInItsRange()
    {
        QFETCH(int, minutes);
        QTEST(ShutdownSettings::countdownEnd(QDateTime(QDate(2026, 3, 2), QTime(0, 0)), minutes),
              "end");
    }
};

QTEST_GUILESS_MAIN(tst_FeatureSettings)
#include "tst_featuresettings.moc"
