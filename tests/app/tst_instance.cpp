// The real program started more than once, as a user (or an autostart and a
// user) would: one clock per user and display, whatever spelling the display
// has, and folders or files planted by someone else never keep it from
// starting.

#include "app/displaytag.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <QDirIterator>
#include <QSet>

#include <cstring>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

/// What a clock process prints besides its own lines: the offscreen
/// platform's remarks.
bool isPlatformNoise(const QString &line)
{
    return line.startsWith(QLatin1String("This plugin does not support"));
}

/// The program for another user to start: the build may sit in a folder only
/// its owner may enter (root's home), so a copy in a folder all may enter.
QString programForOthers()
{
    static QTemporaryDir folder;
    static const QString copy = [] {
        const QString path = folder.filePath(QStringLiteral("zirvel"));
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther);
        QFile::copy(QStringLiteral(ZIRVEL_EXE), path);
        return path;
    }();
    return copy;
}

/// Makes a child process run as `uid` (group `uid` too, no other groups).
void runAs(QProcess &process, uid_t uid)
{
    process.setChildProcessModifier([uid] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0)
            ::_exit(127);
    });
}

class Clock {
public:
    explicit Clock(const QProcessEnvironment &env, std::optional<uid_t> uid = {})
    {
        m_process.setProcessEnvironment(env);
        if (uid)
            runAs(m_process, *uid);
        m_process.start(uid ? programForOthers() : QStringLiteral(ZIRVEL_EXE), {});
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

/// The socket in `folder` or a folder below it; "" when there is none.
QString socketIn(const QString &folder)
{
    QDirIterator it(folder, {QStringLiteral("*.socket")}, QDir::System | QDir::Hidden,
                    QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

/// Waits until a listening socket appears in `folder`, or a folder below it
/// (the clock is up).
bool waitForSocket(const QString &folder, Clock &clock)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 15000) {
        if (!socketIn(folder).isEmpty())
            return true;
        if (!clock.isRunning())
            return false;
        QTest::qWait(50);
    }
    return false;
}

/// A later start: true when it handed over to the running clock and ended.
bool handsOver(const QProcessEnvironment &env, std::optional<uid_t> uid = {})
{
    Clock second(env, uid);
    if (!second.process().waitForFinished(15000))
        return false;
    return second.process().exitStatus() == QProcess::NormalExit &&
           second.process().exitCode() == 0 && second.errorLines().isEmpty();
}

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

/// Runs the program with `arguments` to its end.
Result run(const QProcessEnvironment &env, const QStringList &arguments,
           std::optional<uid_t> uid = {})
{
    QProcess command;
    command.setProcessEnvironment(env);
    if (uid)
        runAs(command, *uid);
    command.start(uid ? programForOthers() : QStringLiteral(ZIRVEL_EXE), arguments);
    if (!command.waitForFinished(30000))
        return {};
    QString err;
    for (const QString &line :
         QString::fromUtf8(command.readAllStandardError()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !isPlatformNoise(line))
            err += line + QLatin1Char('\n');
    }
    return {command.exitStatus() == QProcess::NormalExit ? command.exitCode() : -1,
            QString::fromUtf8(command.readAllStandardOutput()), err};
}

/// The value of one --status line; "" when there is none.
QString statusOf(const QProcessEnvironment &env, const QString &key, std::optional<uid_t> uid = {})
{
    const QStringList lines = run(env, {QStringLiteral("--status")}, uid).out.split('\n');
    for (const QString &line : lines) {
        if (line.startsWith(key + QLatin1Char('\t')))
            return line.mid(key.size() + 1);
    }
    return {};
}

/// Two user ids nobody on this machine has.
std::optional<std::pair<uid_t, uid_t>> freeUserIds()
{
    std::vector<uid_t> found;
    for (uid_t uid = 61000; uid < 62000 && found.size() < 2; ++uid) {
        if (!::getpwuid(uid) && !::getgrgid(uid))
            found.push_back(uid);
    }
    if (found.size() < 2)
        return std::nullopt;
    return std::pair{found[0], found[1]};
}

/// Lets the test hold `count` more descriptors; false when the system will not.
bool allowDescriptors(rlim_t count)
{
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    const rlim_t wanted = count + 256;
    if (limit.rlim_cur >= wanted)
        return true;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < wanted)
        return false;
    limit.rlim_cur = wanted;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

/// How many descriptors process `pid` has open.
int openDescriptors(qint64 pid)
{
    return int(QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

/// Connections to the socket at `path`, opened as fast as the other side
/// lets them in, for at most `ms`.
std::vector<int> flood(const QString &path, int count, int ms)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::vector<int> fds;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return fds;
    std::memcpy(address.sun_path, name.constData(), name.size());
    QElapsedTimer t;
    t.start();
    while (int(fds.size()) < count && t.elapsed() < ms) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            break;
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
            fds.push_back(fd);
            continue;
        }
        ::close(fd);
        if (errno != EAGAIN)
            break;
        ::usleep(1000); // the queue is full: give the other side a moment
    }
    return fds;
}

/// How many times the settings file was written, by the events on `watch`
/// so far.
int writesOf(int watch)
{
    int writes = 0;
    QByteArray events(64 * 1024, Qt::Uninitialized);
    for (qsizetype n; (n = ::read(watch, events.data(), size_t(events.size()))) > 0;) {
        for (qsizetype at = 0; at < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(events.constData() + at);
            if (event->len && qstrcmp(event->name, "Zirvel.conf") == 0)
                ++writes;
            at += qsizetype(sizeof(inotify_event)) + qsizetype(event->len);
        }
    }
    return writes;
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

    /// What a command says when the running clock did not take it in time.
    inline static const QString NotCarriedOut =
        QStringLiteral("zirvel：正在运行的时钟没有在 2 秒内回答，命令没有执行\n");

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
            << "home/.cache/zirvel";
        QTest::newRow("no runtime folder, fallback open to all") << "-run tmp/zirvel-%1:open"
                                                                 << "tmp/zirvel-%1"
                                                                 << "home/.cache/zirvel";
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

    // A lock file left behind by a clock that ended without removing it (a
    // crash, a power cut) never keeps the next one from starting.
    void leftoverLocksDoNotStopTheClock_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("ageHours");
        QTest::newRow("empty, hours old") << QByteArray() << 5;
        QTest::newRow("empty, just now") << QByteArray() << 0;
        QTest::newRow("an ended process's") << QByteArray("999999\nzirvel\n") << 5;
        QTest::newRow("not a lock at all") << QByteArray("\x7f"
                                                         "ELF garbage")
                                           << 0;
    }
    void leftoverLocksDoNotStopTheClock()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, ageHours);
        const QProcessEnvironment env = environment(QStringLiteral(":62"));
        const QString run = env.value(QStringLiteral("XDG_RUNTIME_DIR"));
        QFile lock(run + QStringLiteral("/zirvel-%1-62.lock").arg(::geteuid()));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(content);
        lock.close();
        const QDateTime then = QDateTime::currentDateTime().addSecs(-3600 * ageHours);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(then, QFileDevice::FileModificationTime));
        lock.close();

        Clock clock(env);
        QVERIFY2(waitForSocket(run, clock), "the clock did not start");
        QVERIFY2(handsOver(env), "a second start did not find the running clock");
        QVERIFY(clock.isRunning());
        QCOMPARE(clock.errorLines(), QStringList());
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
        QCOMPARE(QString::fromUtf8(command.readAllStandardError()), NotCarriedOut);
        QVERIFY(!QFile::exists(env.value(QStringLiteral("XDG_CONFIG_HOME")) +
                               QStringLiteral("/Zirvel/Zirvel.conf")));
    }

    // Without a runtime folder, another user who takes the clock's folder in
    // the shared temporary folder first (a folder, a link, a file) does not
    // make every start a new clock.
    void squattedTemporaryFolder_data()
    {
        QTest::addColumn<QString>("plant"); // run by the other user; %1 the path
        QTest::newRow("a folder") << "mkdir -m 700 %1";
        QTest::newRow("a folder open to all") << "mkdir -m 777 %1";
        QTest::newRow("a link to the other user's folder") << "mkdir -m 777 %1.x && ln -s %1.x %1";
        QTest::newRow("a file") << "touch %1";
    }
    void squattedTemporaryFolder()
    {
        QFETCH(QString, plant);
        const auto uids = ::geteuid() == 0 ? freeUserIds() : std::nullopt;
        if (!uids)
            QSKIP("needs root, to run the clock and the other user as two free user ids");
        const auto [victim, other] = *uids;
        // Reachable by both users, as the real ones are.
        QVERIFY(QFile::setPermissions(m_dir->path(), Private | QFile::ReadOther | QFile::ExeOther |
                                                         QFile::ReadGroup | QFile::ExeGroup));
        const QString tmp = makeFolder(QStringLiteral("tmp"), Open);
        QVERIFY(::chmod(QFile::encodeName(tmp).constData(), 01777) == 0);
        const QString home = makeFolder(QStringLiteral("home-%1").arg(victim), Private);
        QVERIFY(::chown(QFile::encodeName(home).constData(), victim, victim) == 0);
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("TMPDIR"), tmp);
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":62"));

        const QString squatted = tmp + QStringLiteral("/zirvel-%1").arg(victim);
        QProcess planting;
        runAs(planting, other);
        planting.start(QStringLiteral("sh"), {QStringLiteral("-c"), plant.arg(squatted)});
        QVERIFY(planting.waitForFinished(10000) && planting.exitCode() == 0);

        Clock clock(env, victim);
        QVERIFY2(clock.waitForErrorLine(squatted), "the clock did not start and say why");
        QVERIFY(waitForSocket(home, clock));
        QVERIFY2(handsOver(env, victim), "a second start made a second clock");
        QCOMPARE(statusOf(env, QStringLiteral("running"), victim), QStringLiteral("yes"));
        QVERIFY(clock.isRunning());
        QCOMPARE(clock.errorLines().size(), 1);
    }

    // Connections held open until the clock has no descriptors left, and a
    // runtime folder too long for a socket's address: afterwards commands
    // still reach the running clock.
    void aFloodOfConnections_data()
    {
        QTest::addColumn<int>("files");       // the clock's limit; 0: what it has open now + 8
        QTest::addColumn<int>("connections"); // held open at once
        QTest::newRow("1024 files, 1060 connections") << 1024 << 1060;
        QTest::newRow("files run out first") << 0 << 300;
    }
    void aFloodOfConnections()
    {
        QFETCH(int, files);
        QFETCH(int, connections);
#if defined(__SANITIZE_ADDRESS__)
        // The sanitizers' runtime checks whether memory is readable through
        // a pipe of its own: with no descriptor left it takes a live object
        // for a bad one ("invalid vptr") and stops the clock.
        if (files == 0)
            QSKIP("the sanitizers' runtime needs descriptors of its own");
#endif
        if (!allowDescriptors(rlim_t(connections)))
            QSKIP("the test may not hold that many descriptors");
        const QProcessEnvironment env = environment(QStringLiteral(":62"));
        Clock clock(env);
        const QString runtime = env.value(QStringLiteral("XDG_RUNTIME_DIR"));
        QVERIFY(waitForSocket(runtime, clock));
        const qint64 pid = clock.process().processId();
        const rlim_t most = rlim_t(files ? files : openDescriptors(pid) + 8);
        const rlimit limit{most, most};
        QVERIFY2(::prlimit(pid_t(pid), RLIMIT_NOFILE, &limit, nullptr) == 0, strerror(errno));

        std::vector<int> held = flood(socketIn(runtime), connections, 10000);
        qInfo("%zu connections held", held.size());
        QTest::qWait(1000);
        for (int fd : held)
            ::close(fd);
        QTest::qWait(500);

        QVERIFY(clock.isRunning());
        QCOMPARE(statusOf(env, QStringLiteral("running")), QStringLiteral("yes"));
        const Result chime = run(env, {QStringLiteral("--chime"), QStringLiteral("on")});
        QCOMPARE(chime.out, QStringLiteral("整点报时：已开启\n"));
        QCOMPARE(chime.exitCode, 0);
        QVERIFY(handsOver(env));
    }

    void aLongRuntimeFolder()
    {
        QProcessEnvironment env = environment(QStringLiteral(":62"));
        const QString runtime =
            makeFolder(QStringLiteral("run/") + QString(120, QLatin1Char('r')), Private);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        Clock clock(env);
        QTest::qWait(1000);
        QVERIFY2(handsOver(env), "a second start did not find the running clock");
        QCOMPARE(statusOf(env, QStringLiteral("running")), QStringLiteral("yes"));
        QVERIFY(clock.isRunning());
        QCOMPARE(clock.errorLines(), QStringList());
    }

    // A clock stopped while a command waits for it: the command says it was
    // not carried out, and the clock, once resumed, does not carry it out.
    void aStoppedClock()
    {
        const QProcessEnvironment env = environment(QStringLiteral(":62"));
        Clock clock(env);
        QVERIFY(waitForSocket(env.value(QStringLiteral("XDG_RUNTIME_DIR")), clock));
        const pid_t pid = pid_t(clock.process().processId());
        QVERIFY(::kill(pid, SIGSTOP) == 0);
        const Result command = run(env, {QStringLiteral("--shutdown-in"), QStringLiteral("30")});
        QVERIFY(::kill(pid, SIGCONT) == 0);
        QCOMPARE(statusOf(env, QStringLiteral("running")), QStringLiteral("yes"));
        QCOMPARE(statusOf(env, QStringLiteral("shutdown")), QStringLiteral("off"));
        QCOMPARE(command.err, NotCarriedOut);
        QCOMPARE(command.exitCode, 1);
    }

    // Many commands at once against one clock: each exit code tells whether
    // that command was carried out, counted by the writes of the settings
    // file.
    void manyCommandsAtOnce()
    {
        constexpr int Count = 200;
        if (!allowDescriptors(Count * 4))
            QSKIP("the test may not hold that many descriptors");
        const QProcessEnvironment env = environment(QStringLiteral(":62"));
        const QString folder = env.value(QStringLiteral("XDG_CONFIG_HOME")) + "/Zirvel";
        QVERIFY(QDir().mkpath(folder));
        Clock clock(env);
        QVERIFY(waitForSocket(env.value(QStringLiteral("XDG_RUNTIME_DIR")), clock));
        const QStringList alarm{QStringLiteral("--alarm"), QStringLiteral("07:00"),
                                QStringLiteral("--message")};
        QCOMPARE(run(env, alarm + QStringList{QStringLiteral("first")}).exitCode, 0);
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watch >= 0);
        QVERIFY(::inotify_add_watch(watch, QFile::encodeName(folder).constData(),
                                    IN_CLOSE_WRITE | IN_MOVED_TO) >= 0);
        // How many times one such command writes the file.
        QCOMPARE(run(env, alarm + QStringList{QStringLiteral("second")}).exitCode, 0);
        const int writesEach = writesOf(watch);
        QVERIFY(writesEach > 0);

        std::vector<std::unique_ptr<QProcess>> commands;
        for (int i = 0; i < Count; ++i) {
            auto command = std::make_unique<QProcess>();
            command->setProcessEnvironment(env);
            command->setStandardOutputFile(path(QStringLiteral("out%1").arg(i)));
            command->setStandardErrorFile(path(QStringLiteral("err%1").arg(i)));
            command->start(QStringLiteral(ZIRVEL_EXE),
                           alarm + QStringList{QStringLiteral("m%1").arg(i)});
            commands.push_back(std::move(command));
        }
        QSet<QString> carriedOut, unknown;
        int refused = 0;
        for (int i = 0; i < Count; ++i) {
            QVERIFY(commands[i]->waitForFinished(120000));
            QFile out(path(QStringLiteral("out%1").arg(i)));
            QFile err(path(QStringLiteral("err%1").arg(i)));
            QVERIFY(out.open(QIODevice::ReadOnly) && err.open(QIODevice::ReadOnly));
            const QString said = QString::fromUtf8(out.readAll() + err.readAll());
            const QString message = QStringLiteral("m%1").arg(i);
            if (commands[i]->exitCode() == 0 &&
                said == QStringLiteral("闹钟：每天 07:00，已开启\n"))
                carriedOut << message;
            else if (commands[i]->exitCode() == 1 && said.contains(QStringLiteral("不知道")))
                unknown << message;
            else if (commands[i]->exitCode() == 1)
                ++refused; // says it was not carried out
            else
                QFAIL(qPrintable(QStringLiteral("%1 said: %2").arg(message, said)));
        }
        // Nothing is carried out once the commands have given up on it.
        QTest::qWait(2000);
        const int writes = writesOf(watch);
        ::close(watch);
        const int done = (writes + writesEach - 1) / writesEach; // begun counts as done
        qInfo("%d commands: %lld said carried out, %d said not, %lld not known; %d carried out",
              Count, qlonglong(carriedOut.size()), refused, qlonglong(unknown.size()), done);
        QVERIFY2(done <= carriedOut.size() + unknown.size(),
                 qPrintable(QStringLiteral("%1 commands said they were not carried out, and were")
                                .arg(done - carriedOut.size() - unknown.size())));
        QVERIFY2(done >= carriedOut.size(),
                 qPrintable(QStringLiteral("%1 commands said they were carried out, and were not")
                                .arg(carriedOut.size() - done)));
        QCOMPARE(statusOf(env, QStringLiteral("running")), QStringLiteral("yes"));
        const QString stored = statusOf(env, QStringLiteral("alarm-message"));
        QVERIFY2(carriedOut.contains(stored) || unknown.contains(stored),
                 qPrintable(QStringLiteral("the stored message %1 is from a command that said it "
                                           "was not carried out")
                                .arg(stored)));
    }
};

QTEST_GUILESS_MAIN(tst_Instance)
#include "tst_instance.moc"
