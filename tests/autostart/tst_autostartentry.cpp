#include "autostart/autostartentry.h"
#include "desktopentryreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const QString Name = QStringLiteral("QarnexTime");

QString readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Program paths that each break a naive writer in a different way.
void awkwardPaths()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << "/usr/bin/zirvel";
    QTest::newRow("spaces") << "/opt/my apps/zirvel clock/zirvel";
    QTest::newRow("double quote") << "/opt/say \"hi\"/zirvel";
    QTest::newRow("single quote") << "/home/o'brien/zirvel";
    QTest::newRow("dollar") << "/opt/$HOME/zirvel";
    QTest::newRow("backquote") << "/opt/`id`/zirvel";
    QTest::newRow("backslash") << "/opt/back\\slash/zirvel";
    QTest::newRow("backslash before quote") << "/opt/a\\\"b/zirvel";
    QTest::newRow("percent") << "/opt/100%/zirvel%f";
    QTest::newRow("percent percent") << "/opt/%%u/zirvel";
    QTest::newRow("chinese") << "/home/用户/时钟/zirvel";
    QTest::newRow("shell characters") << "/opt/a;b&c|d<e>f(g)h*i?j#k~l/zirvel";
    QTest::newRow("tab and newline") << "/opt/a\tb\nc/zirvel";
    QTest::newRow("leading and trailing space") << " /opt/x/zirvel ";
    QTest::newRow("everything") << "/tmp/a b/\"q\" 'r' $v `c` \\e %p 中文/zirvel";
}

} // namespace

class tst_AutostartEntry : public QObject {
    Q_OBJECT
private slots:
    void execReadsBackAsTheProgram_data() { awkwardPaths(); }
    void execReadsBackAsTheProgram();
    void desktopSessionStartsIt();
    void untickKeepsTheEntryDisabled();
    void untickWithAFifoAtTheEntry();
    void tickUntickCycle();
    void missingFolderIsCreated();
    void unwritableFolderWritesNothing_data();
    void unwritableFolderWritesNothing();
    void unstorableInputWritesNothing_data();
    void unstorableInputWritesNothing();
    void userFolderFollowsXdgConfigHome();
};

void tst_AutostartEntry::execReadsBackAsTheProgram()
{
    QFETCH(QString, program);
    QTemporaryDir dir;
    QVERIFY(writeAutostartEntry(dir.path(), Name, program));
    const QString path = dir.filePath(Name + QStringLiteral(".desktop"));

    const auto keys = DesktopEntryReader::mainGroup(readFile(path));
    QVERIFY2(keys, qPrintable(readFile(path)));
    QCOMPARE(keys->value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(keys->value(QStringLiteral("Name")), QStringLiteral("Zirvel"));
    QVERIFY(!keys->contains(QStringLiteral("Hidden")));
    const auto words = DesktopEntryReader::execArguments(keys->value(QStringLiteral("Exec")));
    QVERIFY2(words, qPrintable(keys->value(QStringLiteral("Exec"))));
    QCOMPARE(*words, QStringList{program});

    const auto remarks = DesktopEntryReader::validate(path);
    if (!remarks)
        QSKIP("desktop-file-validate is not installed");
    QVERIFY2(remarks->isEmpty(), qPrintable(*remarks + QLatin1Char('\n') + readFile(path)));
}

// A real desktop implementation reads the entry and runs a program whose
// folder name holds every character that needs care but "%": GLib looks the
// program up before it turns "%%" back into "%", so it refuses such an entry
// although the entry follows the rules (checked above).
void tst_AutostartEntry::desktopSessionStartsIt()
{
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        QSKIP("gio (libglib2.0-bin) is not installed");
    QTemporaryDir dir;
    const QString folder =
        dir.filePath(QStringLiteral("a b \"q\" 'r' $HOME `x` \\e 中文 ;&|<>()*?#~"));
    QVERIFY(QDir().mkpath(folder));
    const QString program = folder + QStringLiteral("/run me");
    QVERIFY(writeFile(program, "#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n"));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    const QString entries = dir.filePath(QStringLiteral("autostart"));
    QVERIFY(writeAutostartEntry(entries, Name, program));

    QProcess launch;
    launch.setProcessChannelMode(QProcess::MergedChannels);
    launch.start(gio, {QStringLiteral("launch"), entries + QStringLiteral("/QarnexTime.desktop")});
    QVERIFY(launch.waitForFinished(60000));
    QVERIFY2(launch.exitCode() == 0, launch.readAll().constData());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + QStringLiteral("/ran")), 60000);
}

void tst_AutostartEntry::untickKeepsTheEntryDisabled()
{
    QTemporaryDir dir;
    const QString program = QStringLiteral("/opt/my apps/zirvel");
    QVERIFY(writeAutostartEntry(dir.path(), Name, program));
    QVERIFY(writeAutostartEntry(dir.path(), Name, QString()));

    const QString path = dir.filePath(Name + QStringLiteral(".desktop"));
    const auto keys = DesktopEntryReader::mainGroup(readFile(path));
    QVERIFY(keys);
    QCOMPARE(keys->value(QStringLiteral("Hidden")), QStringLiteral("true"));
    // The disabled entry still says what it ran.
    QCOMPARE(DesktopEntryReader::execArguments(keys->value(QStringLiteral("Exec"))),
             QStringList{program});
    if (const auto remarks = DesktopEntryReader::validate(path))
        QVERIFY2(remarks->isEmpty(), qPrintable(*remarks));

    // Unticked before anything was ever ticked: a disabled entry without Exec,
    // which also hides a system-wide entry of the same name.
    QTemporaryDir fresh;
    QVERIFY(writeAutostartEntry(fresh.path(), Name, QString()));
    const QString freshPath = fresh.filePath(Name + QStringLiteral(".desktop"));
    const auto freshKeys = DesktopEntryReader::mainGroup(readFile(freshPath));
    QVERIFY(freshKeys);
    QCOMPARE(freshKeys->value(QStringLiteral("Hidden")), QStringLiteral("true"));
    QVERIFY(!freshKeys->contains(QStringLiteral("Exec")));
    if (const auto remarks = DesktopEntryReader::validate(freshPath))
        QVERIFY2(remarks->isEmpty(), qPrintable(*remarks));
}

// Unticking reads the old entry for what it ran; a FIFO planted at its name
// must not hang the options dialog.
void tst_AutostartEntry::untickWithAFifoAtTheEntry()
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(Name + QStringLiteral(".desktop")));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);

    std::promise<bool> written;
    std::future<bool> result = written.get_future();
    std::thread([&dir, promise = std::move(written)]() mutable {
        promise.set_value(writeAutostartEntry(dir.path(), Name, QString()));
    }).detach();
    if (result.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        // Let the stuck reader go before failing, so the process can end.
        ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
        result.wait();
        QFAIL("unticking hung on the FIFO");
    }
    QVERIFY(result.get());
    const auto keys = DesktopEntryReader::mainGroup(readFile(QString::fromLocal8Bit(fifo)));
    QVERIFY(keys);
    QCOMPARE(keys->value(QStringLiteral("Hidden")), QStringLiteral("true"));
}

void tst_AutostartEntry::tickUntickCycle()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(Name + QStringLiteral(".desktop"));
    const QString first = QStringLiteral("/opt/old/zirvel");
    const QString second = QStringLiteral("/opt/new place/zirvel");
    const auto keys = [&] {
        return DesktopEntryReader::mainGroup(readFile(path)).value_or(QMap<QString, QString>());
    };

    QVERIFY(writeAutostartEntry(dir.path(), Name, first));
    QVERIFY(writeAutostartEntry(dir.path(), Name, QString()));
    QVERIFY(writeAutostartEntry(dir.path(), Name, QString()));
    QCOMPARE(keys().value(QStringLiteral("Hidden")), QStringLiteral("true"));
    QCOMPARE(DesktopEntryReader::execArguments(keys().value(QStringLiteral("Exec"))),
             QStringList{first});

    // Ticked again from elsewhere: enabled, with the new path.
    QVERIFY(writeAutostartEntry(dir.path(), Name, second));
    QVERIFY(!keys().contains(QStringLiteral("Hidden")));
    QCOMPARE(DesktopEntryReader::execArguments(keys().value(QStringLiteral("Exec"))),
             QStringList{second});
    // Only the entry itself: no temporary files left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{Name + QStringLiteral(".desktop")});
}

void tst_AutostartEntry::missingFolderIsCreated()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("config/autostart"));
    QVERIFY(writeAutostartEntry(folder, Name, QStringLiteral("/usr/bin/zirvel")));
    QVERIFY(QFile::exists(folder + QStringLiteral("/QarnexTime.desktop")));
}

void tst_AutostartEntry::unwritableFolderWritesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("a file where the folder should be") << "file";
    QTest::newRow("a read-only folder") << "read-only";
}

void tst_AutostartEntry::unwritableFolderWritesNothing()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    QString folder;
    if (how == QLatin1String("file")) {
        QVERIFY(writeFile(dir.filePath(QStringLiteral("config")), "not a folder"));
        folder = dir.filePath(QStringLiteral("config/autostart"));
        QVERIFY(!writeAutostartEntry(folder, Name, QStringLiteral("/usr/bin/zirvel")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("config"))).isFile());
        return;
    }

    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    folder = dir.filePath(QStringLiteral("autostart"));
    QVERIFY(writeAutostartEntry(folder, Name, QStringLiteral("/opt/old/zirvel")));
    const QString before = readFile(folder + QStringLiteral("/QarnexTime.desktop"));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const bool written = writeAutostartEntry(folder, Name, QString());
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QCOMPARE(readFile(folder + QStringLiteral("/QarnexTime.desktop")), before);
}

void tst_AutostartEntry::unstorableInputWritesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("program");
    QTest::newRow("control character in the path") << Name << "/opt/a\x01b/zirvel";
    QTest::newRow("name with a slash") << "../QarnexTime"
                                       << "/usr/bin/zirvel";
    QTest::newRow("empty name") << ""
                                << "/usr/bin/zirvel";
    QTest::newRow("dot-dot name") << ".."
                                  << "/usr/bin/zirvel";
}

void tst_AutostartEntry::unstorableInputWritesNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, program);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("autostart"));
    QVERIFY(!writeAutostartEntry(folder, name, program));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), {});
}

void tst_AutostartEntry::userFolderFollowsXdgConfigHome()
{
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    const AutostartFolders folders = AutostartFolders::standard();
    qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(folders.user, dir.path() + QStringLiteral("/autostart"));
    QCOMPARE(folders.system, QStringLiteral("/etc/xdg/autostart"));
}

QTEST_GUILESS_MAIN(tst_AutostartEntry)
#include "tst_autostartentry.moc"
