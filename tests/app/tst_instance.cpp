// The real program started more than once, as a user (or an autostart and a
// user) would: one clock per user and display, whatever spelling the display
// has, and folders or files planted by someone else never keep it from
// starting.

#include "app/displaytag.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// What a clock process prints besides its own lines: the offscreen
/// platform's remarks.
bool isPlatformNoise(const QString &line)
{
    return line.startsWith(QLatin1String("This plugin does not support"));
}

class Clock {
public:
    explicit Clock(const QProcessEnvironment &env)
    {
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(ZIRVEL_EXE), {});
        m_process.waitForStarted();
    }
    ~Clock()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(10000))
                m_process.kill();
            m_process.waitForFinished();
        }
    }
    QProcess &process() { return m_process; }
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    /// Its own stderr lines so far.
    QStringList errorLines()
    {
        m_err += QString::fromUtf8(m_process.readAllStandardError());
        QStringList lines;
        for (const QString &line : m_err.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (!isPlatformNoise(line))
                lines << line;
        }
        return lines;
    }
    /// Waits for a stderr line holding `text`; false when none came, or the
    /// process ended first.
    bool waitForErrorLine(const QString &text)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 15000) {
            if (errorLines().join(QLatin1Char('\n')).contains(text))
                return true;
            if (!isRunning())
                return false;
            m_process.waitForReadyRead(100);
        }
        return false;
    }

private:
    QProcess m_process;
    QString m_err;
};

/// Waits until a listening socket appears in `folder` (the clock is up).
bool waitForSocket(const QString &folder, Clock &clock)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 15000) {
        if (!QDir(folder).entryList({QStringLiteral("*.socket")}, QDir::System).isEmpty())
            return true;
        if (!clock.isRunning())
            return false;
        QTest::qWait(50);
    }
    return false;
}

/// A later start: true when it handed over to the running clock and ended.
bool handsOver(const QProcessEnvironment &env)
{
    Clock second(env);
    if (!second.process().waitForFinished(15000))
        return false;
    return second.process().exitStatus() == QProcess::NormalExit &&
           second.process().exitCode() == 0 && second.errorLines().isEmpty();
}

const passwd *otherUser()
{
    return ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
}

bool giveAway(const QString &path)
{
    const passwd *other = otherUser();
    return other &&
           ::lchown(QFile::encodeName(path).constData(), other->pw_uid, other->pw_gid) == 0;
}

} // namespace

class tst_Instance : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString makeFolder(const QString &name, QFile::Permissions permissions)
    {
        const QString folder = path(name);
        QDir().mkpath(folder);
        QFile::setPermissions(folder, permissions);
        return folder;
    }
    static constexpr QFile::Permissions Private =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    static constexpr QFile::Permissions Open = Private | QFile::ReadGroup | QFile::WriteGroup |
                                               QFile::ExeGroup | QFile::ReadOther |
                                               QFile::WriteOther | QFile::ExeOther;

    /// A clock's environment: its own settings, runtime folder and temporary
    /// folder; no X server (offscreen), the display only names the instance.
    QProcessEnvironment environment(const QString &display)
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("HOME"), makeFolder(QStringLiteral("home"), Private));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"),
                   makeFolder(QStringLiteral("config"), Private));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), makeFolder(QStringLiteral("run"), Private));
        env.insert(QStringLiteral("TMPDIR"), makeFolder(QStringLiteral("tmp"), Open));
        env.insert(QStringLiteral("DISPLAY"), display);
        return env;
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // This program's own reading of DISPLAY, the same with every X library
    // version; "clockbox" stands for this machine's name.
    void displayTags_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QString>("tag");
        for (const char *local : {":62",
                                  ":62.0",
                                  ":62.3",
                                  "unix:62",
                                  "unix:62.1",
                                  "unix/:62",
                                  "unix/far.example:62",
                                  "localhost:62",
                                  "LocalHost:62.0",
                                  "tcp/localhost:62",
                                  "127.0.0.1:62.0",
                                  "127.0.0.2:62",
                                  "::1:62",
                                  "::1:62.1",
                                  "[::1]:62",
                                  "inet6/[::1]:62.1",
                                  "/tmp/.X11-unix/X62",
                                  "/tmp/.X11-unix/X62.1",
                                  "unix:/tmp/.X11-unix/X62",
                                  "unix:/tmp/.X11-unix/X62.0",
                                  "/tmp//.X11-unix/./X62",
                                  "clockbox:62.0",
                                  "CLOCKBOX:62"})
            QTest::newRow(local) << QByteArray(local) << "62";
        QTest::newRow("another display") << QByteArray(":7") << "7";
        QTest::newRow("another host") << QByteArray("far.example:62.0") << "far.example_62";
        QTest::newRow("another host by protocol")
            << QByteArray("tcp/far.example:62") << "far.example_62";
        QTest::newRow("IPv6 host") << QByteArray("2001:db8::1:62") << "2001_db8__1_62";
        QTest::newRow("IPv6 host in brackets")
            << QByteArray("[2001:db8::1]:62.1") << "2001_db8__1_62";
        QTest::newRow("host with odd characters")
            << QByteArray("tcp/h\x1b[2J;rm:1") << "h__2J_rm_1";
        QTest::newRow("socket elsewhere")
            << QByteArray("/run/user/1000/xsock") << "socket_run_user_1000_xsock";
        QTest::newRow("socket elsewhere with unix and screen")
            << QByteArray("unix:/run/user/1000/xsock.2") << "socket_run_user_1000_xsock";
        QTest::newRow("socket named like a display")
            << QByteArray("/private/tmp/com.apple.launchd.AbC123/org.xquartz:0")
            << "socket_private_tmp_com.apple.launchd.AbC123_org.xquartz_0";
        QTest::newRow("not set") << QByteArray() << "none";
        QTest::newRow("not a display") << QByteArray("garbage/../x") << "other_garbage_.._x";
        QTest::newRow("unix and no number") << QByteArray("unix:x62") << "other_unix_x62";
        QTest::newRow("relative socket") << QByteArray("unix:run/x") << "other_unix_run_x";
        QTest::newRow("bad screen") << QByteArray(":62.x") << "other__62.x";
        QTest::newRow("signed number") << QByteArray(":+62") << "other___62";
        QTest::newRow("no number") << QByteArray("localhost:") << "other_localhost_";
    }
    void displayTags()
    {
        QFETCH(QByteArray, display);
        QTEST(displayTag(display, QStringLiteral("clockbox")), "tag");
    }

    // A tag is at most 64 characters; two long names still get two tags.
    void longDisplayNamesStayApart()
    {
        const QByteArray host(200, 'h');
        const QString first = displayTag(host + ":1");
        const QString second = displayTag(host + "x:1");
        QVERIFY(first.size() <= 64 && second.size() <= 64);
        QVERIFY(first.startsWith(QLatin1String("hhhh")));
        QVERIFY(first != second);
        QVERIFY(displayTag("/run/" + host + "/a") != displayTag("/run/" + host + "/b"));
    }

    void oneClockPerDisplay_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("same");
        QTest::newRow("screen number") << ":62"
                                       << ":62.0" << true;
        QTest::newRow("unix host") << ":62"
                                   << "unix:62" << true;
        QTest::newRow("unix host and screen") << "unix:62.0"
                                              << ":62" << true;
        QTest::newRow("localhost") << ":62"
                                   << "localhost:62.0" << true;
        QTest::newRow("loopback address") << ":62.0"
                                          << "127.0.0.1:62" << true;
        QTest::newRow("unix socket path") << ":62"
                                          << "unix:/tmp/.X11-unix/X62.0" << true;
        QTest::newRow("IPv6 loopback") << "[::1]:62"
                                       << ":62" << true;
        QTest::newRow("this machine's name")
            << ":62" << QSysInfo::machineHostName() + ":62" << true;
        QTest::newRow("another display") << ":62"
                                         << ":63" << false;
        QTest::newRow("another host") << ":62"
                                      << "far.example:62" << false;
    }
    void oneClockPerDisplay()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, same);
        const QProcessEnvironment env = environment(first);
        Clock clock(env);
        QVERIFY(waitForSocket(env.value(QStringLiteral("XDG_RUNTIME_DIR")), clock));

        QProcessEnvironment other = env;
        other.insert(QStringLiteral("DISPLAY"), second);
        if (same) {
            QVERIFY2(handsOver(other), "a second clock started on the same display");
        } else {
            Clock another(other);
            QVERIFY(!another.process().waitForFinished(2000));
        }
        QVERIFY(clock.isRunning());
        QCOMPARE(clock.errorLines(), QStringList());
    }

    // Someone else's folder or file where the clock keeps its lock: the clock
    // never uses it, says so in one line and starts anyway.
    void plantedFoldersAreNeverTrusted_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("named");   // the folder the one line names
        QTest::addColumn<QString>("usedDir"); // where the clock keeps its lock; "" none
        QTest::newRow("runtime folder of another user") << "run:other"
                                                        << "run"
                                                        << "tmp/zirvel-%1";
        QTest::newRow("runtime folder open to all") << "run:open"
                                                    << "run"
                                                    << "tmp/zirvel-%1";
        QTest::newRow("lock of another user in the runtime folder") << "run/zirvel-%1-62.lock:other"
                                                                    << "run"
                                                                    << "tmp/zirvel-%1";
        QTest::newRow("no runtime folder, shared folder planted")
            << "-run tmp/runtime-%2:other tmp/zirvel-62.lock:dir tmp/zirvel-%1:other"
            << "tmp/zirvel-%1"
            << "";
        QTest::newRow("no runtime folder, fallback open to all") << "-run tmp/zirvel-%1:open"
                                                                 << "tmp/zirvel-%1"
                                                                 << "";
    }
    void plantedFoldersAreNeverTrusted()
    {
        QFETCH(QString, planted);
        QFETCH(QString, named);
        QFETCH(QString, usedDir);
        const QString uid = QString::number(::geteuid());
        const passwd *me = ::getpwuid(::geteuid());
        QProcessEnvironment env = environment(QStringLiteral(":62"));
        for (QString item : planted.split(QLatin1Char(' '))) {
            item = item.arg(uid, QString::fromLocal8Bit(me ? me->pw_name : ""));
            if (item == QLatin1String("-run")) {
                env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
                continue;
            }
            const QString name = item.section(QLatin1Char(':'), 0, 0);
            const QString how = item.section(QLatin1Char(':'), 1);
            if (name.endsWith(QLatin1String(".lock")) && how == QLatin1String("other")) {
                QFile lock(path(name));
                QVERIFY(lock.open(QIODevice::WriteOnly));
                lock.write("4242\nzirvel\nelsewhere\n");
            } else {
                makeFolder(name, how == QLatin1String("open") ? Open : Private);
            }
            if (how == QLatin1String("other") && !giveAway(path(name)))
                QSKIP("needs root and the user nobody to plant another user's files");
        }
        named = path(named.arg(uid));

        Clock clock(env);
        QVERIFY2(clock.waitForErrorLine(named), "the clock did not start and say why");
        if (!usedDir.isEmpty())
            QVERIFY(waitForSocket(path(usedDir.arg(uid)), clock));
        else
            QTest::qWait(1000);
        QVERIFY(clock.isRunning());
        QCOMPARE(clock.errorLines().size(), 1);
        if (!usedDir.isEmpty())
            QVERIFY2(handsOver(env), "a second start did not find the running clock");
    }

    // A settings path that is not a file does not stop the clock starting.
    void startsWhateverHoldsTheSettingsPath()
    {
        const QProcessEnvironment env = environment(QStringLiteral(":62"));
        const QString folder = env.value(QStringLiteral("XDG_CONFIG_HOME")) + "/Zirvel";
        QVERIFY(QDir().mkpath(folder));
        const QString settings = folder + QStringLiteral("/Zirvel.conf");
        QVERIFY(::mkfifo(QFile::encodeName(settings).constData(), 0600) == 0);
        Clock clock(env);
        QVERIFY2(clock.waitForErrorLine(settings), "no word about the settings file");
        QVERIFY(waitForSocket(env.value(QStringLiteral("XDG_RUNTIME_DIR")), clock));
        QVERIFY(handsOver(env));
        QVERIFY(clock.isRunning());
        QCOMPARE(clock.errorLines().size(), 1);
    }

    // Commands on the command line go to the running clock, which answers
    // with what to print; one that never answers is given up on, and the
    // settings are left alone.
    void commandsReachTheRunningClock()
    {
        const QProcessEnvironment env = environment(QStringLiteral(":62"));
        Clock clock(env);
        QVERIFY(waitForSocket(env.value(QStringLiteral("XDG_RUNTIME_DIR")), clock));
        QProcess command;
        command.setProcessEnvironment(env);
        command.start(QStringLiteral(ZIRVEL_EXE),
                      {QStringLiteral("--chime"), QStringLiteral("on")});
        QVERIFY(command.waitForFinished(15000));
        QCOMPARE(command.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(command.readAllStandardOutput()),
                 QStringLiteral("整点报时：已开启\n"));
        command.start(QStringLiteral(ZIRVEL_EXE), {QStringLiteral("--status")});
        QVERIFY(command.waitForFinished(15000));
        const QString status = QString::fromUtf8(command.readAllStandardOutput());
        QVERIFY2(status.contains(QLatin1String("\nchime\ton\n")) &&
                     status.endsWith(QLatin1String("\nrunning\tyes\n")),
                 qPrintable(status));
        QVERIFY(handsOver(env)); // a plain start still just raises it
        QVERIFY(clock.isRunning());
    }

    void aClockThatNeverAnswers()
    {
        const QProcessEnvironment env = environment(QStringLiteral(":62"));
        // Takes connections (the system queues them) and never reads.
        QLocalServer stuck;
        const QString socket = env.value(QStringLiteral("XDG_RUNTIME_DIR")) +
                               QStringLiteral("/zirvel-%1-62.socket").arg(::geteuid());
        QVERIFY(stuck.listen(socket));
        QProcess command;
        command.setProcessEnvironment(env);
        command.start(QStringLiteral(ZIRVEL_EXE),
                      {QStringLiteral("--alarm"), QStringLiteral("7:00")});
        QVERIFY(command.waitForFinished(15000));
        QCOMPARE(command.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(command.readAllStandardError()),
                 QStringLiteral("zirvel：正在运行的时钟没有在 2 秒内回答\n"));
        QVERIFY(!QFile::exists(env.value(QStringLiteral("XDG_CONFIG_HOME")) +
                               QStringLiteral("/Zirvel/Zirvel.conf")));
    }
};

QTEST_GUILESS_MAIN(tst_Instance)
#include "tst_instance.moc"
