// The real program given a command while no clock runs: it works on the
// settings file alone. Whatever lies where it keeps its locks, a command
// ends at once and stores its change, unless another command really holds
// the lock; and --status prints its five lines whatever a hand-edited
// settings file holds.

#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

/// Long enough never to cut off a command that works; a command still
/// running then hangs.
constexpr int HangMs = 20000;

struct Run {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
    qint64 elapsedMs = 0;
};

/// Sets the access and modification times of `path` itself (not of what a
/// link points to) `hours` back.
bool ageBy(const QByteArray &path, int hours)
{
    struct timeval times[2];
    ::gettimeofday(&times[0], nullptr);
    times[0].tv_sec -= hours * 3600;
    times[1] = times[0];
    return ::lutimes(path.constData(), times) == 0;
}

/// A lock as a command of this version holds it: flock(2) on the file.
struct HeldFlock {
    int fd = -1;
    explicit HeldFlock(const QByteArray &path)
        : fd(::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~HeldFlock()
    {
        if (fd >= 0)
            ::close(fd);
    }
    HeldFlock(const HeldFlock &) = delete;
    HeldFlock &operator=(const HeldFlock &) = delete;
};

mode_t typeAt(const QString &path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

} // namespace

class tst_CommandsWithoutClock : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString folder(const QString &name) const
    {
        const QString path = m_dir->filePath(name);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    QString settingsPath() const
    {
        return m_dir->filePath(QStringLiteral("config/Zirvel/Zirvel.conf"));
    }

    /// The program, with its own settings and runtime folders and no display:
    /// no clock can answer.
    Run zirvel(const QStringList &arguments)
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), folder(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder(QStringLiteral("run")));
        env.insert(QStringLiteral("TMPDIR"), folder(QStringLiteral("tmp")));
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(ZIRVEL_EXE), arguments);
        Run run;
        run.finished = process.waitForFinished(HangMs);
        run.elapsedMs = timer.elapsed();
        if (!run.finished) {
            process.kill();
            process.waitForFinished();
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(QFileInfo(settingsPath()).absolutePath()));
    }

    // Something at the name of the commands' lock or of the settings file's
    // lock: only a lock another command really holds makes a command wait,
    // and fail when it is held longer; nothing else there is opened or kept
    // waiting for.
    void whateverLiesAtTheLocks_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("refused"); ///< the held-lock message, nothing stored

        for (const char *suffix : {".command.lock", ".lock"}) {
            const bool commandLock = qstrcmp(suffix, ".command.lock") == 0;
            for (const char *obstacle : {"fifo", "link to /dev/zero", "folder, hours old",
                                         "dangling link, hours old", "link to a file", "empty file",
                                         "empty file, hours old", "left by a crashed older command",
                                         "held by an older command", "held by a command"}) {
                const bool held = QByteArray(obstacle).startsWith("held");
                // The settings file's lock is waited for a moment, then the
                // file, replaced whole, is written anyway.
                QTest::addRow("%s: %s", suffix, obstacle)
                    << suffix << obstacle << (held && commandLock);
            }
        }
    }
    void whateverLiesAtTheLocks()
    {
        QFETCH(QString, suffix);
        QFETCH(QString, obstacle);
        QFETCH(bool, refused);
        const QString lockPath = settingsPath() + suffix;
        const QByteArray native = QFile::encodeName(lockPath);
        QLockFile olderLock(lockPath);
        std::unique_ptr<HeldFlock> held;
        const auto writeLock = [&](const QByteArray &bytes) {
            QFile file(lockPath);
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        if (obstacle == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(native.constData(), 0600) == 0);
        } else if (obstacle == QLatin1String("link to /dev/zero")) {
            QVERIFY(::symlink("/dev/zero", native.constData()) == 0);
        } else if (obstacle.startsWith(QLatin1String("folder"))) {
            QVERIFY(QDir().mkdir(lockPath));
        } else if (obstacle.startsWith(QLatin1String("dangling link"))) {
            QVERIFY(::symlink("nowhere/at/all", native.constData()) == 0);
        } else if (obstacle == QLatin1String("link to a file")) {
            const QString target = m_dir->filePath(QStringLiteral("target"));
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            QVERIFY(::symlink(QFile::encodeName(target).constData(), native.constData()) == 0);
        } else if (obstacle.startsWith(QLatin1String("empty file"))) {
            QVERIFY(writeLock({}));
        } else if (obstacle == QLatin1String("left by a crashed older command")) {
            // What an older version writes into its lock, with a process gone.
            QVERIFY(
                writeLock("2147483646\nzirvel\n" + QSysInfo::machineHostName().toUtf8() + '\n'));
        } else if (obstacle == QLatin1String("held by an older command")) {
            QVERIFY(olderLock.tryLock(0));
        } else {
            held = std::make_unique<HeldFlock>(native);
            QVERIFY(held->fd >= 0);
        }
        if (obstacle.endsWith(QLatin1String("hours old")))
            QVERIFY(ageBy(native, 5));
        const mode_t type = typeAt(lockPath);

        const Run run = zirvel({QStringLiteral("--chime"), QStringLiteral("on")});
        QVERIFY2(run.finished, "the command hung");
        qInfo("%s: %lld ms, exit %d", qPrintable(obstacle), run.elapsedMs, run.exitCode);
        const bool stored = SettingsStore(settingsPath()).flag(Keys::ChkIntTime) == 1;
        if (refused) {
            QCOMPARE(run.err, QStringLiteral("zirvel：另一个 zirvel 命令一直占着设置文件 %1\n")
                                  .arg(settingsPath()));
            QCOMPARE(run.exitCode, 1);
            QVERIFY(!stored);
        } else {
            QCOMPARE(run.err, QString());
            QCOMPARE(run.out,
                     QStringLiteral("整点报时：已开启\n"
                                    "（时钟没有在运行：设置已保存，时钟运行时才会生效）\n"));
            QCOMPARE(run.exitCode, 0);
            QVERIFY(stored);
        }
        // What is not a lock file is left as it was.
        if (type != S_IFREG)
            QCOMPARE(typeAt(lockPath), type);
    }

    // A hand-edited message: every line is printed, each on one line, with
    // what a terminal would act on written out as the bad-input echoes do.
    void statusOfAHandEditedFile_data()
    {
        QTest::addColumn<QByteArray>("value"); ///< as written after "prompt="
        QTest::addColumn<QString>("shown");

        QTest::newRow("escaped NUL") << QByteArray("wake\\0up") << "wake\\x00up";
        QTest::newRow("raw ESC") << QByteArray("\x1b[2Jgone") << "\\x1b[2Jgone";
        QTest::newRow("escaped ESC") << QByteArray("\\x1b[31mred") << "\\x1b[31mred";
        QTest::newRow("tab, CR, line feed") << QByteArray("a\\tb\\rc\\nd") << "a\\tb\\rc\\nd";
        QTest::newRow("backslash") << QByteArray("C:\\\\dir\\\\n") << "C:\\\\dir\\\\n";
        QTest::newRow("bell, DEL, C1")
            << QByteArray("\\a\x7f\xc2\x85\xc2\x9b") << "\\x07\\x7f\\x85\\x9b";
        QTest::newRow("bidi override") << QByteArray("abc\xe2\x80\xae"
                                                     "def")
                                       << "abc\\u202edef";
        QTest::newRow("line separator") << QByteArray("one\xe2\x80\xa8two") << "one\\u2028two";
        QTest::newRow("plain text") << QByteArray("会议，第 2 号") << "会议，第 2 号";
    }
    void statusOfAHandEditedFile()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, shown);
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\nprompt=" + value + "\nchkinttime=1\n");
        file.close();

        const Run run = zirvel({QStringLiteral("--status")});
        QVERIFY2(run.finished, "--status hung");
        QCOMPARE(run.out, QStringLiteral("alarm\toff\nalarm-message\t%1\nchime\ton\n"
                                         "shutdown\toff\nrunning\tno\n")
                              .arg(shown));
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(tst_CommandsWithoutClock)
#include "tst_commandswithoutclock.moc"
