// Prints the time one settings save takes; not a test (see CMakeLists.txt).

#include "settings/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/stat.h>

namespace {

double saveMilliseconds(const QString &path, int rounds)
{
    SettingsStore store(path);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        store.save(QStringLiteral("Settings"), QStringLiteral("prompt"), QString::number(i));
    return double(timer.nsecsElapsed()) / 1e6 / rounds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Zirvel.conf"));
    const QString lock = path + QStringLiteral(".lock");
    QFile(path).open(QIODevice::WriteOnly);

    std::printf("settings save, milliseconds per save\n");
    std::printf("  plain file:                      %8.2f\n", saveMilliseconds(path, 200));

    QFile(lock).open(QIODevice::WriteOnly); // empty, just made: not yet stale
    std::printf("  empty lock file left behind:     %8.2f\n", saveMilliseconds(path, 3));
    QFile::remove(lock);

    QDir().mkdir(lock);
    std::printf("  folder at the lock's name:       %8.2f\n", saveMilliseconds(path, 3));
    QDir().rmdir(lock);

    ::mkfifo(QFile::encodeName(lock).constData(), 0600);
    std::printf("  FIFO at the lock's name:         %8.2f\n", saveMilliseconds(path, 3));
    QFile::remove(lock);

    QLockFile held(lock);
    held.lock();
    std::printf("  lock held by a live process:     %8.2f\n", saveMilliseconds(path, 3));
    return 0;
}
