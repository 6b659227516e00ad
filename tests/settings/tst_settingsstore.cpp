#include "settings/alarmsettings.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <QStandardPaths>
#include <QTextStream>

#include <QLocalServer>
#include <QLockFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

struct ChildRun {
    bool finished = false;
    QStringList lines; ///< what it printed
};

/// Runs this test program as a child that opens the store at `path` and
/// saves the prompt "new" (see main). A store that hangs is killed after a
/// generous while, far beyond what a save may take.
ChildRun saveInChild(const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--save-prompt"), path, QStringLiteral("new")});
    ChildRun run;
    run.finished = child.waitForFinished(15000);
    if (!run.finished) {
        child.kill();
        child.waitForFinished();
        return run;
    }
    run.lines = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
    return run;
}

mode_t fileType(const QString &path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

} // namespace

class tst_SettingsStore : public QObject {
    Q_OBJECT

private:
    QString path() const { return m_dir->filePath(QStringLiteral("cfg/Zirvel.conf")); }
    QByteArray fileContent() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFile(const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path()).absolutePath());
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    static void writeFileAt(const QString &file, const QByteArray &content)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void newUserDefaults_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("withZero");  // read with default 0
        QTest::addColumn<QString>("noDefault"); // read without default
        for (const char *flag : {"chkinttime", "chkopenclose", "chkImedClose", "chkclosetime",
                                 "chkautorun", "chkyntimer"})
            QTest::newRow(flag) << flag << "0"
                                << "";
        for (const char *text : {"timer", "itimer", "prompt", "hour", "minute", "timerdate"})
            QTest::newRow(text) << text << "0"
                                << "";
    }
    void newUserDefaults()
    {
        QFETCH(QString, key);
        QFETCH(QString, withZero);
        QFETCH(QString, noDefault);
        SettingsStore store(path());
        QCOMPARE(store.get(QStringLiteral("Settings"), key, 0), withZero);
        QCOMPARE(store.get(QStringLiteral("Settings"), key), noDefault);
        QCOMPARE(store.get(QStringLiteral("Settings"), key, QString()), noDefault);
        QVERIFY(!QFile::exists(path())); // reading creates nothing
    }

    void sectionAndKeyIgnoreCase_data()
    {
        QTest::addColumn<QString>("saveSection");
        QTest::addColumn<QString>("saveKey");
        QTest::addColumn<QString>("readSection");
        QTest::addColumn<QString>("readKey");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("storedSpelling");
        QTest::newRow("Settings->settings") << "Settings"
                                            << "itimer"
                                            << "settings"
                                            << "itimer"
                                            << "7:05:00"
                                            << "itimer";
        QTest::newRow("settings->Settings") << "settings"
                                            << "chkopenclose"
                                            << "Settings"
                                            << "chkopenclose"
                                            << "1"
                                            << "chkopenclose";
        QTest::newRow("key case") << "SETTINGS"
                                  << "CHKIMEDCLOSE"
                                  << "settings"
                                  << "chkimedclose"
                                  << "1"
                                  << "chkImedClose";
    }
    void sectionAndKeyIgnoreCase()
    {
        QFETCH(QString, saveSection);
        QFETCH(QString, saveKey);
        QFETCH(QString, readSection);
        QFETCH(QString, readKey);
        QFETCH(QString, value);
        QFETCH(QString, storedSpelling);
        {
            SettingsStore store(path());
            QVERIFY(store.save(saveSection, saveKey, value));
            QCOMPARE(store.get(readSection, readKey), value);
        }
        // The file holds the table's spelling, and a new instance reads it back.
        const QByteArray content = fileContent();
        QVERIFY2(content.contains("[Settings]"), content);
        QVERIFY2(content.contains(storedSpelling.toUtf8() + "=" + value.toUtf8()), content);
        SettingsStore again(path());
        QCOMPARE(again.get(readSection, readKey), value);
        QCOMPARE(again.get(saveSection, saveKey), value);
    }

    void valuesSurviveExactly_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("time") << "itimer"
                              << "7:05:00";
        QTest::newRow("empty time") << "timer"
                                    << "";
        QTest::newRow("hour with zero") << "hour"
                                        << "07";
        QTest::newRow("chinese prompt") << "prompt"
                                        << "起床了，该上班了！";
        QTest::newRow("punctuation") << "prompt"
                                     << "a, b; c = \"d\" \\ e # f [g]";
        QTest::newRow("twips") << "MainLeft"
                               << "9570";
        // Everything QSettings' INI rules treat specially, as the program writes it.
        QTest::newRow("alarm message") << "prompt"
                                       << "开会; 带上 #3 = \"报告\" 'x'\n第二行";
        QTest::newRow("comment and list marks") << "prompt"
                                                << "; a, b ,c;";
        QTest::newRow("blanks at the ends") << "prompt"
                                            << "  x\t ";
        QTest::newRow("type marker") << "prompt"
                                     << "@Invalid()";
        QTest::newRow("escapes") << "prompt"
                                 << "\\n \\x41 \\\" \r\n\t";
        QTest::newRow("control character") << "prompt" << QString::fromUtf16(u"a\u0001b\u007f");
        QTest::newRow("outside the BMP") << "prompt" << QString::fromUtf16(u"\U0001F600 🕐");
        QTest::newRow("section marks") << "prompt"
                                       << "[Settings]\nhour=3";
    }
    void valuesSurviveExactly()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        SettingsStore(path()).save(QStringLiteral("Settings"), key, value);
        QCOMPARE(SettingsStore(path()).get(QStringLiteral("settings"), key, QStringLiteral("x")),
                 value);
    }

    void brokenValuesReadAsDefault_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // read with default 0
        QTest::newRow("flag text") << QByteArray("chkinttime=yes") << "chkinttime"
                                   << "0";
        QTest::newRow("flag float") << QByteArray("chkopenclose=1.5") << "chkopenclose"
                                    << "0";
        QTest::newRow("flag overflow") << QByteArray("chkyntimer=70000") << "chkyntimer"
                                       << "0";
        QTest::newRow("flag ok") << QByteArray("chkyntimer=1") << "chkyntimer"
                                 << "1";
        QTest::newRow("time text") << QByteArray("itimer=soon") << "itimer"
                                   << "0";
        QTest::newRow("time range") << QByteArray("timer=25:00:00") << "timer"
                                    << "0";
        QTest::newRow("time leading zero") << QByteArray("timer=07:05:00") << "timer"
                                           << "07:05:00";
        QTest::newRow("prompt anything") << QByteArray("prompt=??") << "prompt"
                                         << "??";
        QTest::newRow("date text") << QByteArray("timerdate=tomorrow") << "timerdate"
                                   << "0";
        QTest::newRow("date out of range") << QByteArray("timerdate=2026-02-30") << "timerdate"
                                           << "0";
        QTest::newRow("date ok") << QByteArray("timerdate=2026-03-02") << "timerdate"
                                 << "2026-03-02";
    }
    void brokenValuesReadAsDefault()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeFile("[Settings]\n" + line + "\n");
        SettingsStore store(path());
        QCOMPARE(store.get(QStringLiteral("Settings"), key, 0), expected);
    }

    // QSettings would decode these as typed values, some from binary data; the
    // store reads text only, so they read as empty and the file counts as
    // damaged (kept aside before it is rewritten).
    void typedValuesAreNeverDecoded_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("binary variant")
            << QByteArray(R"(prompt=@Variant(\0\0\0\x2\0\0\0\0\x5))") << "" << true;
        QTest::newRow("byte array") << QByteArray("prompt=@ByteArray(hello)") << "" << true;
        QTest::newRow("quoted") << QByteArray(R"x(prompt="@ByteArray(quoted)")x") << "" << true;
        QTest::newRow("octal escape") << QByteArray(R"(prompt=\100ByteArray(octal))") << "" << true;
        QTest::newRow("skipped escape first")
            << QByteArray(R"(prompt=\z@ByteArray(x))") << "" << true;
        QTest::newRow("line carried on by a backslash")
            << QByteArray("prompt=\\\n@ByteArray(x)") << "" << true;
        QTest::newRow("empty quotes first")
            << QByteArray(R"x(prompt=  "" @ByteArray(x))x") << "" << true;
        QTest::newRow("hex escape wrapping round to an at-sign")
            << QByteArray(R"(prompt=\x10040Rect(1 2 3 4))") << "" << true;
        QTest::newRow("list with a typed element")
            << QByteArray("prompt=a, @ByteArray(b)") << "" << true;
        QTest::newRow("found by fuzzing")
            << QByteArray(
                   "[%General]\nk%20k=@Variant(\\0\\0\\0\\teArray(x)\n[Settings]\nprompt=kept")
            << "kept" << true;
        QTest::newRow("doubled at-sign") << QByteArray("prompt=@@at") << "@at" << false;
        QTest::newRow("text with a NUL, as QSettings writes it")
            << QByteArray(R"x(prompt="@String(a\0b)")x")
            << QStringLiteral("a") + QChar(u'\0') + u'b' << false;
        QTest::newRow("at-sign, no parentheses") << QByteArray("prompt=@foo") << "@foo" << false;
        QTest::newRow("hex escape that is no at-sign")
            << QByteArray(R"(prompt=\x40B(x))") << QString::fromUtf16(u"\u040B(x)") << false;
    }
    void typedValuesAreNeverDecoded()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, prompt);
        QFETCH(bool, damaged);
        const QByteArray content =
            line.startsWith('[') ? line + '\n' : "[Settings]\n" + line + '\n';
        writeFile(content);
        SettingsStore store(path());
        QCOMPARE(
            store.get(QStringLiteral("Settings"), QStringLiteral("prompt"), QStringLiteral("x")),
            prompt);
        QVERIFY(
            store.save(QStringLiteral("Settings"), QStringLiteral("hour"), QStringLiteral("7")));
        QCOMPARE(QFile::exists(path() + QStringLiteral(".broken")), damaged);
        QVERIFY2(!fileContent().contains("@Variant") && !fileContent().contains("@ByteArray"),
                 fileContent());
        QCOMPARE(SettingsStore(path()).get(QStringLiteral("Settings"), QStringLiteral("prompt"),
                                           QStringLiteral("x")),
                 prompt);
    }

    void typedReaders()
    {
        writeFile("[settings]\nchkinttime=1\nitimer=7:05:00\ntimer=\nchkopenclose=x\n"
                  "timerDate=2026-03-02\n");
        SettingsStore store(path());
        QCOMPARE(store.flag(QStringLiteral("chkinttime")), 1);
        QCOMPARE(store.flag(QStringLiteral("chkopenclose")), 0);
        QCOMPARE(store.time(QStringLiteral("itimer")), std::optional<QTime>(QTime(7, 5, 0)));
        QCOMPARE(store.time(QStringLiteral("timer")), std::nullopt);
        QCOMPARE(store.date(QStringLiteral("timerdate")), std::optional<QDate>(QDate(2026, 3, 2)));
        QCOMPARE(store.date(QStringLiteral("prompt")), std::nullopt);
    }

    // The single-section writers land in [Settings] under the key table's
    // spelling, and read back through the single-section readers.
    void singleSectionWriters()
    {
        {
            SettingsStore store(path());
            QVERIFY(store.save(Keys::Prompt, QStringLiteral("开会")));
            QVERIFY(store.setFlag("CHKIMEDCLOSE", 1));
            QVERIFY(store.save(QStringLiteral("Timer"), QStringLiteral("22:30:00")));
        }
        const QByteArray file = fileContent();
        QVERIFY2(file.startsWith("[Settings]\n"), file.constData());
        QVERIFY2(file.contains("chkImedClose=1\n"), file.constData());
        QVERIFY2(file.contains("timer=22:30:00\n"), file.constData());
        SettingsStore again(path());
        QCOMPARE(again.text(Keys::Prompt), QStringLiteral("开会"));
        QCOMPARE(again.text(Keys::Hour, QStringLiteral("none")), QStringLiteral("none"));
        QCOMPARE(again.flag(Keys::ChkImedClose), 1);
        QCOMPARE(again.time(Keys::Timer), std::optional<QTime>(QTime(22, 30, 0)));
    }

    // chkyntimer holds the opposite of "the alarm is on": 0 is on, and so
    // is a value that is missing or broken (it reads as 0).
    void alarmOnReadsChkyntimerInverted_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("0") << QByteArray("chkyntimer=0\n") << true;
        QTest::newRow("1") << QByteArray("chkyntimer=1\n") << false;
        QTest::newRow("missing") << QByteArray() << true;
        QTest::newRow("broken") << QByteArray("chkyntimer=x\n") << true;
    }
    void alarmOnReadsChkyntimerInverted()
    {
        QFETCH(QByteArray, stored);
        writeFile("[Settings]\n" + stored);
        QTEST(AlarmSettings::read(SettingsStore(path())).on, "on");
    }
    void setAlarmOnWritesChkyntimerInverted()
    {
        SettingsStore store(path());
        AlarmSettings alarm(store);
        QVERIFY(alarm.setOn(true));
        QCOMPARE(store.get(QStringLiteral("Settings"), QStringLiteral("chkyntimer")),
                 QStringLiteral("0"));
        QVERIFY(alarm.setOn(false));
        QCOMPARE(
            SettingsStore(path()).get(QStringLiteral("Settings"), QStringLiteral("chkyntimer")),
            QStringLiteral("1"));
    }

    void damagedFileIsKeptAside()
    {
        const QByteArray garbage("\x00\x01[Settings\nchkinttime=1\n\xff\xfe=\n", 30);
        writeFile(garbage);
        SettingsStore store(path());
        QVERIFY(
            store.save(QStringLiteral("Settings"), QStringLiteral("prompt"), QStringLiteral("hi")));
        QFile aside(path() + QStringLiteral(".broken"));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), garbage);
        QCOMPARE(SettingsStore(path()).get(QStringLiteral("Settings"), QStringLiteral("prompt")),
                 QStringLiteral("hi"));
    }

    // Keys QSettings reads but writes back in a form it cannot read again
    // ("%2F" becomes "\\"): the program's own file always reads back, keeps
    // every value it can, and the user's original is kept aside once, never
    // replaced by a file of the program's.
    // A section spelt another way by hand ("[SettingS]") is the program's
    // own: a save replaces the value there, and the next read finds it, also
    // when several values are saved together.
    void aSectionInAnotherCaseTakesTheSave()
    {
        writeFile("[SettingS]\nprompt=old\nhour=7\n");
        {
            SettingsStore store(path());
            AlarmSettings alarm(store);
            QVERIFY(alarm.set({"8", "15"}, QStringLiteral("new"), true));
        }
        SettingsStore again(path());
        QCOMPARE(again.text(Keys::Prompt), QStringLiteral("new"));
        QCOMPARE(again.text(Keys::Hour), QStringLiteral("8"));
        QCOMPARE(again.text(Keys::ITimer), QStringLiteral("8:15:00"));
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("prompt="), 1);
        QVERIFY2(!bytes.contains("[Settings]"), bytes.constData());
    }

    // A plain value is saved by editing its own line, or adding one at the
    // end of its section: whatever else the user wrote stays byte for byte.
    void aPlainSaveEditsOnlyItsLine_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("replaced in place, comments and blanks kept")
            << QByteArray("; mine\n[Settings]\nhour = 7\n\nprompt = old\n\n[Other]\nx=1\n")
            << "新的"
            << QByteArray("; mine\n[Settings]\nhour = 7\n\nprompt=新的\n\n[Other]\nx=1\n");
        QTest::newRow("added at the end of its section")
            << QByteArray("[Settings]\nhour=7\n\n[Other]\nx=1\n") << "hi"
            << QByteArray("[Settings]\nhour=7\nprompt=hi\n\n[Other]\nx=1\n");
        QTest::newRow("its section added at the end")
            << QByteArray("[Other]\nx=1") << "hi"
            << QByteArray("[Other]\nx=1\n\n[Settings]\nprompt=hi\n");
        QTest::newRow("an empty file")
            << QByteArray() << "hi" << QByteArray("[Settings]\nprompt=hi\n");
        QTest::newRow("Windows line ends")
            << QByteArray("[Settings]\r\nprompt=old\r\nhour=7\r\n") << "hi"
            << QByteArray("[Settings]\r\nprompt=hi\r\nhour=7\r\n");
        QTest::newRow("empty") << QByteArray("[Settings]\nprompt=old\n") << ""
                               << QByteArray("[Settings]\nprompt=\n");
    }
    void aPlainSaveEditsOnlyItsLine()
    {
        QFETCH(QByteArray, original);
        QFETCH(QString, prompt);
        writeFile(original);
        SettingsStore store(path());
        QVERIFY(store.save(Keys::Prompt, prompt));
        QTEST(fileContent(), "saved");
        QCOMPARE(SettingsStore(path()).text(Keys::Prompt), prompt);
    }

    void handWrittenKeysSurviveSaves_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<bool>("keptAside");
        QTest::addColumn<QString>("saved"); ///< the text saved, %1 the hour
        // A plain value's save edits its own line: a key QSettings could not
        // write again stays in the file as it was, and nothing is kept aside.
        QTest::newRow("slash as a key")
            << QByteArray("[Settings]\n%2F=pct\nprompt=old\n") << false << "%1";
        QTest::newRow("slash as a key, outside any section")
            << QByteArray("%2F=pct\n[Settings]\nprompt=old\n") << false << "%1";
        // A value QSettings must write (a comma) makes it rewrite the file,
        // which loses such a key: the user's original is kept aside.
        QTest::newRow("slash as a key, a value with a comma")
            << QByteArray("[Settings]\n%2F=pct\nprompt=old\n") << true << "%1,0";
        // Read by QSettings as the program's own hour: it leaves the file
        // once, kept aside, so that later saves are plain again.
        QTest::newRow("a key that shadows the hour")
            << QByteArray("[Settings]\n\\hour=pct\nprompt=old\n") << true << "%1";
        QTest::newRow("slash inside a key")
            << QByteArray("[Settings]\na%2Fb=pct\nprompt=old\n") << false << "%1";
        QTest::newRow("escaped percent and backslash")
            << QByteArray("[Settings]\n%25=pct\n%5C=pct\nprompt=old\n") << false << "%1";
    }
    void handWrittenKeysSurviveSaves()
    {
        QFETCH(QByteArray, original);
        QFETCH(bool, keptAside);
        QFETCH(QString, saved);
        writeFile(original);
        const QString aside = path() + QStringLiteral(".broken");
        for (const char *hour : {"7", "8", "9"}) {
            SettingsStore store(path());
            QCOMPARE(store.problem(), QString());
            QVERIFY(store.save(Keys::Hour, saved.arg(QLatin1String(hour))));
            QCOMPARE(SettingsStore(path()).text(Keys::Hour), saved.arg(QLatin1String(hour)));
            QCOMPARE(SettingsStore(path()).text(Keys::Prompt), QStringLiteral("old"));
            QCOMPARE(QFile::exists(aside), keptAside);
            QVERIFY2(!QFile::exists(aside + QStringLiteral(".2")), "a later save kept aside again");
            if (keptAside) {
                QFile kept(aside);
                QVERIFY(kept.open(QIODevice::ReadOnly));
                QCOMPARE(kept.readAll(), original);
            } else {
                QVERIFY2(fileContent().contains("=pct"), fileContent());
            }
        }
        QCOMPARE(QDir(QFileInfo(path()).absolutePath()).entryList({QStringLiteral("*.broken*")}),
                 keptAside ? QStringList{QStringLiteral("Zirvel.conf.broken")} : QStringList());
    }

    // A damaged file kept before is never replaced: a new damaged original
    // goes beside it, and the program's own file is never kept as damaged.
    // "\hour" in the program's section is read by QSettings as the hour
    // itself. The program's first save, of whatever key, leaves it out of the
    // file (the original kept aside), so that no later save finds its own
    // file ambiguous and keeps it aside again.
    void aKeyShadowingTheProgramsLeavesWithTheFirstSave()
    {
        const QByteArray original("[Settings]\n\\hour=pct\nprompt=old\n");
        writeFile(original);
        const QString aside = path() + QStringLiteral(".broken");
        QVERIFY(SettingsStore(path()).save(Keys::Prompt, QStringLiteral("new")));
        QVERIFY2(!fileContent().contains("\\hour"), fileContent());
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), original);
        for (const char *hour : {"7", "8"}) {
            QVERIFY(SettingsStore(path()).save(Keys::Hour, QLatin1String(hour)));
            QCOMPARE(SettingsStore(path()).text(Keys::Hour), QLatin1String(hour));
        }
        QCOMPARE(SettingsStore(path()).text(Keys::Prompt), QStringLiteral("new"));
        QVERIFY(!QFile::exists(aside + QStringLiteral(".2")));
    }

    void laterDamageIsKeptBesideTheFirst()
    {
        const QByteArray first("[Settings]\nprompt=@ByteArray(first)\n");
        const QByteArray second("[Settings\nprompt=second\x01\xff\n");
        writeFile(first);
        QVERIFY(SettingsStore(path()).save(Keys::Hour, QStringLiteral("7")));
        QVERIFY(SettingsStore(path()).save(Keys::Hour, QStringLiteral("8")));
        writeFile(second);
        QVERIFY(SettingsStore(path()).save(Keys::Hour, QStringLiteral("9")));
        QVERIFY(SettingsStore(path()).save(Keys::Hour, QStringLiteral("10")));

        const QDir folder(QFileInfo(path()).absolutePath());
        QCOMPARE(folder.entryList({QStringLiteral("*.broken*")}),
                 (QStringList{QStringLiteral("Zirvel.conf.broken"),
                              QStringLiteral("Zirvel.conf.broken.2")}));
        const auto content = [](const QString &file) {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QCOMPARE(content(path() + QStringLiteral(".broken")), first);
        QCOMPARE(content(path() + QStringLiteral(".broken.2")), second);
        QCOMPARE(SettingsStore(path()).text(Keys::Hour), QStringLiteral("10"));
    }

    // Permission cases run in a child process; under root the child drops to
    // "nobody", since permissions do not bind root.
    void permissionProblemsLoseNothing_data()
    {
        QTest::addColumn<bool>("lockFolder");
        QTest::addColumn<bool>("lockFile");
        QTest::addColumn<QString>("seenAtStart");
        QTest::newRow("folder not writable") << true << false << "old";
        QTest::newRow("file not readable") << false << true << "";
    }
    void permissionProblemsLoseNothing()
    {
        QFETCH(bool, lockFolder);
        QFETCH(bool, lockFile);
        QFETCH(QString, seenAtStart);
        writeFile("[Settings]\nprompt=old\n");
        const QString dir = QFileInfo(path()).absolutePath();
        QStringList runner;
        if (geteuid() == 0) {
            const passwd *nobody = getpwnam("nobody");
            if (!nobody || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
                QSKIP("needs setpriv and the user nobody to test permissions as root");
            QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ExeOwner | QFile::ExeOther);
            QVERIFY(::chown(QFile::encodeName(dir).constData(), nobody->pw_uid, nobody->pw_gid) ==
                    0);
            QVERIFY(::chown(QFile::encodeName(path()).constData(), nobody->pw_uid,
                            nobody->pw_gid) == 0);
            runner = {QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                      QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                      QStringLiteral("--clear-groups")};
        }
        if (lockFolder)
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        if (lockFile)
            QFile::setPermissions(path(), QFile::WriteOwner);

        QProcess child;
        runner << QCoreApplication::applicationFilePath() << QStringLiteral("--save-prompt")
               << path() << QStringLiteral("new");
        child.start(runner.takeFirst(), runner);
        QVERIFY(child.waitForFinished(20000));
        const QStringList out =
            QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);

        // setpriv's own failure to start this binary as nobody (a build in a
        // folder that user cannot enter) says nothing about the settings.
        if (geteuid() == 0 && (child.exitCode() == 126 || child.exitCode() == 127) &&
            err.contains(QLatin1String("setpriv")))
            QSKIP(qPrintable(QStringLiteral("cannot run the test binary as nobody: ") + err));
        if (child.exitCode() != 0)
            qWarning().noquote() << "child's standard error:" << err;
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(out.value(0), seenAtStart); // what the program saw at start
        QCOMPARE(out.value(1), QStringLiteral("not saved"));
        QCOMPARE(out.value(2), QStringLiteral("new")); // still in effect this session
        QCOMPARE(fileContent(), QByteArray("[Settings]\nprompt=old\n"));
    }

    // Whatever sits at the settings path, the program starts from defaults,
    // never opens it for reading and never replaces it.
    void pathsThatAreNotFilesAreLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"fifo", "folder", "socket", "device"})
            QTest::newRow(kind) << kind;
    }
    void pathsThatAreNotFilesAreLeftAlone()
    {
        QFETCH(QString, kind);
        QDir().mkpath(QFileInfo(path()).absolutePath());
        const QByteArray native = QFile::encodeName(path());
        QLocalServer server;
        int fifoWriter = -1;
        if (kind == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(native.constData(), 0600) == 0);
            // Something waits in the pipe: a reader would take it.
            fifoWriter = ::open(native.constData(), O_RDWR | O_NONBLOCK);
            QVERIFY(fifoWriter >= 0);
            QVERIFY(::write(fifoWriter, "[Settings]\nprompt=piped\n", 24) == 24);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path()));
        } else if (kind == QLatin1String("socket")) {
            QVERIFY(server.listen(path()));
        } else if (::mknod(native.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
            QSKIP("cannot make a device node here");
        }
        const mode_t type = fileType(path());

        const ChildRun run = saveInChild(path());
        QVERIFY2(run.finished, "the store hung on the settings path");
        QCOMPARE(run.lines.value(0), QString()); // defaults
        QCOMPARE(run.lines.value(1), QStringLiteral("not saved"));
        QCOMPARE(run.lines.value(2), QStringLiteral("new")); // in effect for the session
        QCOMPARE(fileType(path()), type);
        if (fifoWriter >= 0) {
            char buffer[64];
            QCOMPARE(::read(fifoWriter, buffer, sizeof buffer), ssize_t(24)); // never read
            ::close(fifoWriter);
        }
    }

    // A lock left behind, or something else under the lock's name, never
    // stalls a save: it waits a moment at most, then writes anyway.
    void leftoverLocksNeverStallASave_data()
    {
        QTest::addColumn<QString>("obstacle");
        for (const char *obstacle :
             {"empty lock file", "folder", "held by a live process", "dangling link", "fifo"})
            QTest::newRow(obstacle) << obstacle;
    }
    void leftoverLocksNeverStallASave()
    {
        QFETCH(QString, obstacle);
        writeFile("[Settings]\nprompt=old\nhour=7\n");
        const QString lockPath = path() + QStringLiteral(".lock");
        const QByteArray native = QFile::encodeName(lockPath);
        QLockFile held(lockPath);
        if (obstacle == QLatin1String("empty lock file"))
            writeFileAt(lockPath, {});
        else if (obstacle == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(lockPath));
        else if (obstacle == QLatin1String("held by a live process"))
            QVERIFY(held.tryLock(0));
        else if (obstacle == QLatin1String("dangling link"))
            QVERIFY(::symlink("nowhere/at/all", native.constData()) == 0);
        else
            QVERIFY(::mkfifo(native.constData(), 0600) == 0);

        const ChildRun run = saveInChild(path());
        QVERIFY2(run.finished, "the save hung on the lock");
        QCOMPARE(run.lines.value(1), QStringLiteral("saved"));
        QCOMPARE(SettingsStore(path()).get(QStringLiteral("Settings"), QStringLiteral("prompt")),
                 QStringLiteral("new"));
        QCOMPARE(SettingsStore(path()).get(QStringLiteral("Settings"), QStringLiteral("hour")),
                 QStringLiteral("7"));
    }

    void saveThenHardKillIsOnDisk()
    {
        // A child process saves and kills itself at once with SIGKILL.
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("--save-and-die"), path()});
        child.start();
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(SettingsStore(path()).get(QStringLiteral("Settings"), QStringLiteral("itimer")),
                 QStringLiteral("7:05:00"));
        QVERIFY(!fileContent().isEmpty());
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--save-and-die") == 0) {
        QCoreApplication app(argc, argv);
        SettingsStore store(QString::fromLocal8Bit(argv[2]));
        store.save(QStringLiteral("Settings"), QStringLiteral("itimer"), QStringLiteral("7:05:00"));
        ::raise(SIGKILL);
    }
    if (argc == 4 && qstrcmp(argv[1], "--save-prompt") == 0) {
        QCoreApplication app(argc, argv);
        SettingsStore store(QString::fromLocal8Bit(argv[2]));
        const QString section = QStringLiteral("Settings"), key = QStringLiteral("prompt");
        QTextStream out(stdout);
        out << store.get(section, key) << '\n';
        out << (store.save(section, key, QString::fromLocal8Bit(argv[3])) ? "saved" : "not saved")
            << '\n';
        out << store.get(section, key) << '\n';
        return 0;
    }
    QCoreApplication app(argc, argv);
    tst_SettingsStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsstore.moc"
