// A full disk or an exhausted disk quota never costs the user a file: the
// settings (from a command, and when the clock ends) and the log-on entry stay
// as they were, byte for byte, and the user is told once, with the file and
// the reason. The full disk is a real 64 KB tmpfs, mounted in a mount
// namespace of this test's own (root only). Quotas, which tmpfs lacks on the
// kernels we run on, come from an interposer loaded into the program that
// fails writes below a folder with a chosen error (tests/support/failwrites.cpp).

#include "autostart/xdgregistry.h"
#include "options/optionsdialog.h"
#include "testenvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

/// Why no tmpfs can be mounted here; "" when it can (set in main).
QString g_noMount;

const QByteArray OldSettings = "[Settings]\nitimer=7:05:00\nprompt=起床了\nchkinttime=0\n";
// Switched off: the options open with the box unticked.
const QByteArray OldEntry =
    "[Desktop Entry]\nType=Application\nName=Zirvel\nExec=/opt/old/zirvel\nHidden=true\n";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

/// Fills the file system of `folder` up to the last byte.
void fill(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder + QStringLiteral("/filler")).constData(),
                          O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(fd >= 0);
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    while (::write(fd, block.constData(), 1) > 0) {
    }
    QCOMPARE(errno, ENOSPC);
    ::close(fd);
}

/// The files in a folder other than locks: no temporary file may be left.
QStringList filesIn(const QString &folder)
{
    QStringList files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!name.endsWith(QLatin1String(".lock")))
            files << name;
    }
    return files;
}

QStringList lines(const QByteArray &output)
{
    QStringList kept;
    for (const QString &line :
         QString::fromUtf8(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        // The offscreen platform's remarks.
        if (!line.startsWith(QLatin1String("This plugin does not support")))
            kept << line;
    }
    return kept;
}

} // namespace

class tst_DiskFull : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_mounted;

    QString path(const QString &name) const { return m_dir->filePath(name); }

    /// A 64 KB tmpfs at `folder` (check g_noMount first).
    void mountSmallDisk(const QString &folder)
    {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY2(::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                         "size=64k,mode=0700") == 0,
                 qPrintable(qt_error_string(errno)));
        m_mounted = folder;
    }

    /// The program's environment: its settings below `config`, its runtime
    /// and temporary folders elsewhere; offscreen, on a display of its own.
    QProcessEnvironment environment(const QString &config) const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("run")));
        env.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":73"));
        // In the sanitizer build the interposer comes before its runtime.
        env.insert(QStringLiteral("ASAN_OPTIONS"), qEnvironmentVariable("ASAN_OPTIONS") +
                                                       QStringLiteral(":verify_asan_link_order=0"));
        return env;
    }

    /// The settings folder of the row: on a full tmpfs ("full") or below a
    /// folder whose writes fail as the row says ("EDQUOT@write"...).
    void prepare(const QString &disk, QProcessEnvironment *env)
    {
        const QString config = path(QStringLiteral("config"));
        const QString file = config + QStringLiteral("/Zirvel/Zirvel.conf");
        *env = environment(config);
        if (disk == QLatin1String("full")) {
            mountSmallDisk(config);
            if (QTest::currentTestFailed())
                return;
            // Room for the settings file, then nothing more.
            QVERIFY(writeAll(file, OldSettings));
            fill(config);
            return;
        }
        QVERIFY(writeAll(file, OldSettings));
        const QString error = disk.section(QLatin1Char('@'), 0, 0);
        env->insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAILWRITES_LIBRARY));
        env->insert(QStringLiteral("FAILWRITES_DIR"), config);
        env->insert(QStringLiteral("FAILWRITES_ERRNO"),
                    QString::number(error == QLatin1String("EDQUOT") ? EDQUOT : EIO));
        env->insert(QStringLiteral("FAILWRITES_CALL"), disk.section(QLatin1Char('@'), 1));
    }

    QString settingsFile() const { return path(QStringLiteral("config/Zirvel/Zirvel.conf")); }

    static void addRows()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full tmpfs") << "full" << QStringLiteral("磁盘已满");
        QTest::newRow("quota, on write") << "EDQUOT@write" << QStringLiteral("磁盘配额已用完");
        QTest::newRow("quota, on sync") << "EDQUOT@fsync" << QStringLiteral("磁盘配额已用完");
        QTest::newRow("disk error, on sync") << "EIO@fsync" << qt_error_string(EIO);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        for (const char *folder : {"home", "run", "tmp"}) {
            QVERIFY(QDir().mkpath(path(QString::fromLatin1(folder))));
            QFile::setPermissions(path(QString::fromLatin1(folder)),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    void cleanup()
    {
        if (!m_mounted.isEmpty())
            ::umount2(QFile::encodeName(m_mounted).constData(), MNT_DETACH);
        m_mounted.clear();
        m_dir.reset();
    }

    void commandFailsAndKeepsTheFile_data() { addRows(); }
    void commandFailsAndKeepsTheFile()
    {
        QFETCH(QString, disk);
        QFETCH(QString, reason);
        if (disk == QLatin1String("full") && !g_noMount.isEmpty())
            QSKIP(qPrintable(g_noMount));
        QProcessEnvironment env;
        prepare(disk, &env);
        if (QTest::currentTestFailed())
            return;

        QProcess zirvel;
        zirvel.setProcessEnvironment(env);
        zirvel.start(QStringLiteral(ZIRVEL_EXE), {QStringLiteral("--chime"), QStringLiteral("on")});
        QVERIFY(zirvel.waitForFinished(30000));
        const QStringList out = lines(zirvel.readAllStandardOutput());
        const QStringList err = lines(zirvel.readAllStandardError());

        QCOMPARE(readAll(settingsFile()), OldSettings);
        QCOMPARE(filesIn(QFileInfo(settingsFile()).absolutePath()),
                 QStringList{QStringLiteral("Zirvel.conf")});
        QCOMPARE(zirvel.exitCode(), 1);
        QCOMPARE(out, QStringList());
        QCOMPARE(err.size(), 1);
        QVERIFY2(err.first().contains(settingsFile()), qPrintable(err.first()));
        QVERIFY2(err.first().contains(QStringLiteral("原因：") + reason), qPrintable(err.first()));
    }

    // The clock saves its place when it ends (here on SIGTERM, as at log-out).
    void clockEndingKeepsTheFile_data() { addRows(); }
    void clockEndingKeepsTheFile()
    {
        QFETCH(QString, disk);
        QFETCH(QString, reason);
        if (disk == QLatin1String("full") && !g_noMount.isEmpty())
            QSKIP(qPrintable(g_noMount));
        QProcessEnvironment env;
        prepare(disk, &env);
        if (QTest::currentTestFailed())
            return;

        QProcess clock;
        clock.setProcessEnvironment(env);
        clock.start(QStringLiteral(ZIRVEL_EXE), {});
        QVERIFY(clock.waitForStarted());
        // Up when it answers a command: its event loop runs, and it hears SIGTERM.
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            QProcess status;
            status.setProcessEnvironment(env);
            status.start(QStringLiteral(ZIRVEL_EXE), {QStringLiteral("--status")});
            QVERIFY(status.waitForFinished(30000));
            if (status.readAllStandardOutput().contains("running\tyes"))
                break;
            QVERIFY2(clock.state() == QProcess::Running && waited.elapsed() < 30000,
                     "the clock did not come up");
            QTest::qWait(50);
        }
        clock.terminate();
        QVERIFY(clock.waitForFinished(30000));
        const QStringList err = lines(clock.readAllStandardError());

        QCOMPARE(readAll(settingsFile()), OldSettings);
        QCOMPARE(filesIn(QFileInfo(settingsFile()).absolutePath()),
                 QStringList{QStringLiteral("Zirvel.conf")});
        const QStringList told = err.filter(settingsFile());
        QVERIFY2(told.size() == 1, qPrintable(err.join(QLatin1Char('\n'))));
        QVERIFY2(told.first().contains(reason), qPrintable(told.first()));
    }

    // Ticking "开机自动运行" with the autostart folder on a full disk.
    void autostartEntryStaysAndIsTold()
    {
        if (!g_noMount.isEmpty())
            QSKIP(qPrintable(g_noMount));
        const QString config = path(QStringLiteral("config"));
        mountSmallDisk(config);
        const QString entry = config + QStringLiteral("/autostart/QarnexTime.desktop");
        QVERIFY(writeAll(entry, OldEntry));
        fill(config);
        if (QTest::currentTestFailed())
            return;

        TestEnvironment env;
        XdgRegistry registry(AutostartFolders{config + QStringLiteral("/autostart"), QString()},
                             env.messages);
        env.table->services().registry = &registry;
        OptionsDialog *options = env.table->show<OptionsDialog>();
        QCheckBox *autoRun = options->findChild<QCheckBox *>(QStringLiteral("chkAutoRun"));
        QVERIFY(autoRun && !autoRun->isChecked());

        QTest::mouseClick(autoRun, Qt::LeftButton);
        QVERIFY(autoRun->isChecked());
        QCOMPARE(readAll(entry), OldEntry);
        QCOMPARE(filesIn(QFileInfo(entry).absolutePath()),
                 QStringList{QStringLiteral("QarnexTime.desktop")});
        QCOMPARE(env.messages.texts.size(), 1);
        const QString text = env.messages.texts.first();
        QVERIFY2(text.contains(entry), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("原因：磁盘已满")), qPrintable(text));

        // The same problem again is not told again.
        QTest::mouseClick(autoRun, Qt::LeftButton);
        QCOMPARE(readAll(entry), OldEntry);
        QCOMPARE(env.messages.texts.size(), 1);
    }
};

int main(int argc, char *argv[])
{
    // A mount namespace of our own, while this is the only thread, so the
    // disks mounted here are seen by this test and the programs it starts,
    // and vanish with it.
    if (::geteuid() != 0)
        g_noMount = QStringLiteral("mounting a small tmpfs needs root");
    else if (::unshare(CLONE_NEWNS) != 0 ||
             ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        g_noMount = QStringLiteral("no mount namespace here: ") + qt_error_string(errno);
    QApplication app(argc, argv);
    tst_DiskFull test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_diskfull.moc"
