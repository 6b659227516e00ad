// Any program path: the log-on entry written for it, read back by a strict
// Desktop Entry reader, runs exactly that path; or the write is refused
// because an entry cannot carry it. Turning the entry off keeps what it ran.

#include "autostart/autostartentry.h"
#include "desktopentryreader.h"
#include "fuzzcheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

QString folder()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("autostart"));
}

QMap<QString, QString> readBack()
{
    QFile file(folder() + QStringLiteral("/QarnexTime.desktop"));
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QString text = QString::fromUtf8(bytes);
    FUZZ_CHECK(text.toUtf8() == bytes); // valid UTF-8, as the format requires
    const std::optional<QMap<QString, QString>> keys = DesktopEntryReader::mainGroup(text);
    FUZZ_CHECK(keys.has_value());
    FUZZ_CHECK(keys->value(QStringLiteral("Type")) == QLatin1String("Application"));
    FUZZ_CHECK(keys->value(QStringLiteral("Name")) == QLatin1String("Zirvel"));
    return *keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString program =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QFile::remove(folder() + QStringLiteral("/QarnexTime.desktop"));

    const bool written = writeAutostartEntry(folder(), QStringLiteral("QarnexTime"), program);
    if (!written) {
        // Only a path an entry cannot carry is refused.
        FUZZ_CHECK(!AutostartEntry::isStorable(program));
        return 0;
    }
    FUZZ_CHECK(AutostartEntry::isStorable(program));
    if (program.isEmpty()) {
        FUZZ_CHECK(readBack().value(QStringLiteral("Hidden")) == QLatin1String("true"));
        return 0;
    }
    QMap<QString, QString> keys = readBack();
    FUZZ_CHECK(!keys.contains(QStringLiteral("Hidden")));
    std::optional<QStringList> words =
        DesktopEntryReader::execArguments(keys.value(QStringLiteral("Exec")));
    FUZZ_CHECK(words == QStringList{program});

    // Off again: the entry stays, disabled, still naming the same program.
    FUZZ_CHECK(writeAutostartEntry(folder(), QStringLiteral("QarnexTime"), QString()));
    keys = readBack();
    FUZZ_CHECK(keys.value(QStringLiteral("Hidden")) == QLatin1String("true"));
    words = DesktopEntryReader::execArguments(keys.value(QStringLiteral("Exec")));
    FUZZ_CHECK(words == QStringList{program});
    return 0;
}
