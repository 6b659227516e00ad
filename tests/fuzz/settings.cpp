// Bytes as a settings file: every key read through the store must give a
// valid value or the default, and a value the program saves must read back
// exactly, whatever the file held before.

#include "fuzzcheck.h"
#include "settings/initext.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "time/timetext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

namespace {

const char *const KnownKeys[] = {
    Keys::MainLeft,     Keys::MainTop, Keys::ChkIntTime, Keys::ChkOpenClose, Keys::ChkImedClose,
    Keys::ChkCloseTime, Keys::Timer,   Keys::ChkAutoRun, Keys::Hour,         Keys::Minute,
    Keys::Prompt,       Keys::ITimer,  Keys::ChkYnTimer};

QTemporaryDir *folder()
{
    static QTemporaryDir dir;
    return &dir;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void readEverything(const SettingsStore &store)
{
    const QString section = QString::fromLatin1(Keys::Section);
    for (const char *name : KnownKeys) {
        const QString key = QString::fromLatin1(name);
        const KeyInfo *info = findKey(key);
        FUZZ_CHECK(info);
        const QString stored = store.get(section, key, QStringLiteral("\x01"));
        FUZZ_CHECK(stored == QStringLiteral("\x01") || isValidValue(info->kind, stored));
        FUZZ_CHECK(store.get(QStringLiteral("SETTINGS"), key.toUpper()) == store.get(section, key));
        (void)store.flag(key);
        if (const std::optional<QTime> t = store.time(key))
            FUZZ_CHECK(t->isValid());
    }
    (void)store.get(QStringLiteral("General"), QStringLiteral("prompt"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = folder()->filePath(QStringLiteral("Zirvel.conf"));
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".broken"));
    QFile::remove(path + QStringLiteral(".broken.2"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }

    // QSettings never gets to decode a typed value from the file.
    const std::optional<IniText::Parsed> parsed = IniText::parse(bytes);
    FUZZ_CHECK(parsed && parsed->onlyText);

    SettingsStore store(path);
    FUZZ_CHECK(store.problem().isEmpty());
    readEverything(store);

    // The program writes what the user typed; here, the input as text. It
    // must come back exactly, and the rest of the file as it was read.
    const QString section = QString::fromLatin1(Keys::Section);
    const QString prompt = QString::fromUtf8(bytes.left(256));
    const QString hour = store.get(section, QStringLiteral("hour"));
    FUZZ_CHECK(store.save(section, QStringLiteral("prompt"), prompt));
    const SettingsStore again(path);
    FUZZ_CHECK(again.problem().isEmpty());
    // Known limit of QSettings' reader: a U+FEFF that its UTF-8 decoder meets
    // first in a value is taken for a byte-order mark and dropped.
    const auto withoutMarks = [](QString text) { return text.remove(QChar(0xfeff)); };
    const QString readBack = again.get(section, QStringLiteral("prompt"));
    FUZZ_CHECK(readBack == prompt ||
               (prompt.contains(QChar(0xfeff)) && withoutMarks(readBack) == withoutMarks(prompt)));
    FUZZ_CHECK(again.get(section, QStringLiteral("hour")) == hour);
    readEverything(again);

    // The program's own file reads back whole: a second save never takes it
    // for damaged, so it never touches what was kept aside.
    const QByteArray written = contentOf(path);
    const std::optional<IniText::Parsed> own = IniText::parse(written);
    FUZZ_CHECK(own && !own->formatError && own->typedValuesRemoved == 0 && own->onlyText);
    const QByteArray kept = contentOf(path + QStringLiteral(".broken"));
    SettingsStore third(path);
    FUZZ_CHECK(third.save(section, QStringLiteral("hour"), QStringLiteral("7")));
    FUZZ_CHECK(contentOf(path + QStringLiteral(".broken")) == kept);
    FUZZ_CHECK(!QFile::exists(path + QStringLiteral(".broken.2")));
    FUZZ_CHECK(withoutMarks(SettingsStore(path).get(section, QStringLiteral("prompt"))) ==
               withoutMarks(readBack));
    return 0;
}
