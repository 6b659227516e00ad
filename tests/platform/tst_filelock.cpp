// The lock processes take on a file for a short piece of work: processes of
// this version, and of older versions taking the same file with QLockFile,
// never hold it at the same time, although each holder removes the file as
// it lets go.

#include "platform/filelock.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

/// Adds one to the number in `counterPath`, slowly: two at once lose a count.
void addOne(const QString &counterPath)
{
    QFile counter(counterPath);
    if (!counter.open(QIODevice::ReadWrite))
        ::_exit(3);
    const int value = counter.readAll().toInt();
    ::usleep(100);
    counter.resize(0);
    counter.write(QByteArray::number(value + 1));
}

/// The child: `times` counts, each under the lock of the given kind.
int count(const QString &kind, const QString &lockPath, const QString &counterPath, int times)
{
    for (int i = 0; i < times; ++i) {
        if (kind == QLatin1String("older")) {
            QLockFile lock(lockPath);
            if (!lock.lock())
                return 2;
            addOne(counterPath);
        } else {
            const FileLock lock(lockPath, 60s);
            if (!lock.isLocked())
                return 2;
            addOne(counterPath);
        }
    }
    return 0;
}

} // namespace

class tst_FileLock : public QObject {
    Q_OBJECT

private slots:
    void takersTakeTurns_data()
    {
        QTest::addColumn<QStringList>("takers"); ///< "kind:times" each
        QTest::newRow("this version") << QStringList{"new:200", "new:200", "new:200", "new:200"};
        QTest::newRow("with an older version") << QStringList{"new:60", "older:8", "new:60"};
    }
    void takersTakeTurns()
    {
        QFETCH(QStringList, takers);
        QTemporaryDir dir;
        const QString lockPath = dir.filePath(QStringLiteral("Zirvel.conf.lock"));
        const QString counterPath = dir.filePath(QStringLiteral("counter"));
        std::vector<std::unique_ptr<QProcess>> children;
        int expected = 0;
        for (const QString &taker : std::as_const(takers)) {
            auto child = std::make_unique<QProcess>();
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--count"), taker.section(QLatin1Char(':'), 0, 0),
                          lockPath, counterPath, taker.section(QLatin1Char(':'), 1)});
            expected += taker.section(QLatin1Char(':'), 1).toInt();
            children.push_back(std::move(child));
        }
        for (const auto &child : children) {
            QVERIFY(child->waitForFinished(120000));
            QCOMPARE(child->exitCode(), 0);
        }
        QFile counter(counterPath);
        QVERIFY(counter.open(QIODevice::ReadOnly));
        QCOMPARE(counter.readAll().toInt(), expected);
        QVERIFY2(!QFile::exists(lockPath), "the lock file was left behind");
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 6 && qstrcmp(argv[1], "--count") == 0)
        return count(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                     QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[5]).toInt());
    tst_FileLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filelock.moc"
