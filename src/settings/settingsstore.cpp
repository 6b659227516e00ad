#include "settings/settingsstore.h"

#include "platform/atomicfile.h"
#include "platform/regularfile.h"
#include "settings/initext.h"
#include "settings/settingskeys.h"
#include "settings/settingslock.h"
#include "time/timetext.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

Q_LOGGING_CATEGORY(lcSettings, "zirvel.settings", QtWarningMsg)

namespace {

using namespace std::chrono_literals;

// A settings file holds a few hundred bytes; anything far larger is not one.
constexpr qint64 MaxFileSize = 1024 * 1024;

QString canonicalSection(const QString &section)
{
    if (section.compare(QLatin1String(Keys::Section), Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(Keys::Section);
    return section;
}

QString canonicalKey(const QString &key)
{
    if (const KeyInfo *info = findKey(key))
        return QString::fromLatin1(info->name);
    return key;
}

// A settings file is text. Binary garbage (a disk error, a wrong file copied
// over it) parses "successfully" into nothing, and rewriting it would lose it.
bool looksLikeText(const QByteArray &content)
{
    if (content.contains('\0'))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = utf8(content);
    return !utf8.hasError();
}

// What a rewrite would lose: text QSettings cannot read, values it would
// decode as binary data (emptied before it reads them), or no text at all.
bool isDamaged(const IniText::Parsed &parsed, const QByteArray &bytes)
{
    return parsed.formatError || parsed.typedValuesRemoved > 0 || !parsed.onlyText ||
           !looksLikeText(bytes);
}

// A key as QSettings lists it: "Settings/prompt"; a key outside any section alone.
QString keyName(const QString &group, const QString &key)
{
    return group == QLatin1String("General") ? key : group + QLatin1Char('/') + key;
}

// A key QSettings lists under a name with an empty part ("\hour" in the
// program's section is listed as "Settings//hour") but reads as the name
// without it: one of the program's own keys. Setting "hour" then changes it
// too, so every later save of the file would read back wrong.
bool shadowsOwnKey(const QString &name)
{
    if (!name.contains(QLatin1String("//")) && !name.startsWith(QLatin1Char('/')) &&
        !name.endsWith(QLatin1Char('/')))
        return false;
    const QStringList parts = name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.size() == 2 && parts.constFirst() == QLatin1String(Keys::Section);
}

enum class Others { Exactly, AtLeast };

// What the program writes must read back as written: `after` is undamaged,
// holds the `changed` keys with their new texts and the `others` (keys as
// QSettings lists them, with their texts): exactly those, or at least those.
// Known limit of QSettings' reader: a U+FEFF that it meets first in a value
// is taken for a byte-order mark and dropped, one more at each rewrite.
bool readsBack(const QByteArray &after, QMap<QString, QString> others,
               const QMap<QString, QString> &changed, Others match)
{
    const std::optional<IniText::Parsed> parsed = IniText::parse(after);
    if (!parsed || isDamaged(*parsed, after))
        return false;
    for (auto it = parsed->all.cbegin(); it != parsed->all.cend(); ++it) {
        if (shadowsOwnKey(it.key()))
            return false;
    }
    const auto withoutMarks = [](QString text) { return text.remove(QChar(0xfeff)); };
    QMap<QString, QString> got = parsed->all;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it) {
        const auto found = got.constFind(it.key());
        if (found == got.cend() || withoutMarks(*found) != withoutMarks(it.value()))
            return false;
        got.remove(it.key());
        others.remove(it.key());
    }
    if (match == Others::Exactly && got.size() != others.size())
        return false;
    for (auto it = others.cbegin(); it != others.cend(); ++it) {
        const auto found = got.constFind(it.key());
        if (found == got.cend() || withoutMarks(*found) != withoutMarks(it.value()))
            return false;
    }
    return true;
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString unreadableMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取设置文件 %1\r原因：%2\r程序使用默认设置，更改将不会被保存。")
        .arg(shownPath(path), reason);
}

QString unwritableMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入设置文件 %1\r原因：%2\r更改将不会被保存。")
        .arg(shownPath(path), reason);
}

QString noScratchReason()
{
    return QStringLiteral("无法在临时文件夹中建立工作副本");
}

// Where the n-th damaged original is kept: Zirvel.conf.broken, then
// Zirvel.conf.broken.2 and so on.
QString asidePath(const QString &path, int n)
{
    return path + QStringLiteral(".broken") +
           (n == 1 ? QString() : QLatin1Char('.') + QString::number(n));
}

constexpr int MaxAsideFiles = 100;

// Keeps a damaged original beside the file: a copy already kept is enough;
// a file kept before is never replaced, a new damaged original goes next to it.
bool keepAside(const QString &path, const QByteArray &bytes, QString *reason)
{
    for (int n = 1; n <= MaxAsideFiles; ++n) {
        const QString aside = asidePath(path, n);
        const RegularFile::Content kept = RegularFile::read(aside, MaxFileSize);
        if (kept.state == RegularFile::Content::State::Read && kept.bytes == bytes)
            return true;
        if (kept.state != RegularFile::Content::State::Missing)
            continue;
        QString why;
        switch (AtomicFile::create(aside, bytes, &why)) {
        case AtomicFile::Created::Written:
            return true;
        case AtomicFile::Created::Taken:
            continue;
        case AtomicFile::Created::Failed:
            *reason = QStringLiteral("无法将损坏的文件保留为 %1：%2").arg(shownPath(aside), why);
            return false;
        }
    }
    *reason = QStringLiteral("已保留了 %1 个损坏的文件，请先清理 %2")
                  .arg(MaxAsideFiles)
                  .arg(shownPath(asidePath(path, 1)));
    return false;
}

} // namespace

SettingsStore::SettingsStore(const QString &filePath)
    : m_path(filePath.isEmpty() ? defaultFilePath() : filePath)
{
    load();
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Zirvel/Zirvel.conf");
}

void SettingsStore::load()
{
    const RegularFile::Content content = RegularFile::read(m_path, MaxFileSize);
    if (content.state == RegularFile::Content::State::Missing)
        return;
    // Saves read the file again; they write nothing while it stays unreadable.
    if (content.state == RegularFile::Content::State::Unreadable) {
        noteProblem(unreadableMessage(m_path, content.reason), content.reason);
        return;
    }
    const std::optional<IniText::Parsed> parsed = IniText::parse(content.bytes);
    if (!parsed) {
        noteProblem(unreadableMessage(m_path, noScratchReason()), noScratchReason());
        return;
    }
    if (isDamaged(*parsed, content.bytes))
        qCWarning(lcSettings) << m_path << "is damaged; it is kept as .broken on the next save";
    for (const IniText::Value &v : parsed->values) {
        const QString name = lookupName(v.group, v.key);
        if (!m_values.contains(name))
            m_values.insert(name, Entry{v.group, v.key, v.text});
    }
}

void SettingsStore::setProblemHandler(std::function<void(const QString &)> handler)
{
    m_problemHandler = std::move(handler);
    if (m_problemHandler && !m_problem.isEmpty())
        m_problemHandler(m_problem);
}

void SettingsStore::noteProblem(const QString &message, const QString &reason)
{
    // The same problem again (a save each second on a full disk) is told once.
    if (!m_problem.isEmpty() && reason == m_problemReason)
        return;
    m_problem = message;
    m_problemReason = reason;
    qCWarning(lcSettings).noquote()
        << QString(message).replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (m_problemHandler && !m_holdProblems)
        m_problemHandler(m_problem);
}

QString SettingsStore::lookupName(const QString &section, const QString &key)
{
    return section.toLower() + QLatin1Char('/') + key.toLower();
}

std::optional<QString> SettingsStore::lookup(const QString &section, const QString &key) const
{
    const auto it = m_values.constFind(lookupName(section, key));
    if (it == m_values.cend())
        return std::nullopt;
    if (const KeyInfo *info = findKey(key);
        info && section.compare(QLatin1String(Keys::Section), Qt::CaseInsensitive) == 0 &&
        !isValidValue(info->kind, it->value))
        return std::nullopt;
    return it->value;
}

QString SettingsStore::get(const QString &section, const QString &key) const
{
    return lookup(section, key).value_or(QString());
}

QString SettingsStore::get(const QString &section, const QString &key,
                           const QString &defaultValue) const
{
    return lookup(section, key).value_or(defaultValue);
}

QString SettingsStore::get(const QString &section, const QString &key, int defaultValue) const
{
    return lookup(section, key).value_or(QString::number(defaultValue));
}

bool SettingsStore::save(const QString &section, const QString &key, const QString &value)
{
    return saveEntries({Entry{canonicalSection(section), canonicalKey(key), value}});
}

bool SettingsStore::save(const QList<Change> &changes)
{
    QList<Entry> entries;
    for (const Change &c : changes) {
        const QString key = c.key.toString();
        entries << Entry{QString::fromLatin1(Keys::Section), canonicalKey(key), c.value};
    }
    return saveEntries(entries);
}

bool SettingsStore::saveEntries(const QList<Entry> &entries)
{
    // A key the file already holds keeps the file's own spelling of its
    // section and name ("[SettingS]"), so the value is replaced where the
    // next read finds it, not added beside it.
    QStringList names;
    QList<Entry> written;
    for (const Entry &e : entries) {
        const QString name = lookupName(e.section, e.key);
        auto it = m_values.find(name);
        if (it == m_values.end()) {
            Entry added = e;
            for (const Entry &held : std::as_const(m_values)) {
                if (held.section.compare(e.section, Qt::CaseInsensitive) == 0) {
                    added.section = held.section;
                    break;
                }
            }
            it = m_values.insert(name, added);
        } else {
            it->value = e.value;
        }
        written << *it;
        names << name;
    }
    ++m_revision;
    QString reason;
    const bool ok = write(written, &reason);
    if (ok) {
        m_problem.clear();
        m_problemReason.clear();
    } else {
        noteProblem(unwritableMessage(m_path, reason), reason);
    }
    // The values are in effect either way: tell whoever shows them.
    emit changed(names);
    return ok;
}

// The file as it is now, with these values changed: what another writer
// stored meanwhile is kept. When neither an edit in place nor QSettings' rewrite would
// not read back with everything the file held, the values that can be read
// are written afresh; the original is then kept aside, as a damaged one is.
bool SettingsStore::write(const QList<Entry> &entries, QString *reason)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath()); // for the lock; failures show below
    const SettingsLock lock(m_path, 1000ms);
    const RegularFile::Content current = RegularFile::read(m_path, MaxFileSize);
    if (current.state == RegularFile::Content::State::Unreadable) {
        *reason = current.reason;
        return false;
    }
    const std::optional<IniText::Parsed> before = IniText::parse(current.bytes);
    if (!before) {
        *reason = noScratchReason();
        return false;
    }
    QMap<QString, QString> changed;
    QList<IniText::Value> changes;
    for (const Entry &e : entries) {
        changed.insert(keyName(e.section, e.key), e.value);
        changes << IniText::Value{e.section, e.key, e.value};
    }
    bool damaged = isDamaged(*before, current.bytes);
    // Most saves replace a plain value or add one: the lines are edited in
    // place, every other line kept as the user left it. Otherwise QSettings
    // writes the file; either way it must read back exactly.
    const auto readsBackExactly = [&](const std::optional<QByteArray> &bytes) {
        return bytes && readsBack(*bytes, before->all, changed, Others::Exactly);
    };
    std::optional<QByteArray> after;
    if (!damaged)
        after = IniText::withValuesEdited(current.bytes, changes);
    if (!readsBackExactly(after))
        after = IniText::withValues(current.bytes, changes);
    if (!readsBackExactly(after)) {
        // Written afresh: every value that can be read goes in, and the
        // program's own must come back. A key QSettings cannot write again as
        // it read it (one named by slashes only, a group spelt "general" in
        // another case) may be lost here; the original is kept aside with it.
        QList<IniText::Value> values;
        QMap<QString, QString> own;
        for (const IniText::Value &v : before->values) {
            const QString vName = keyName(v.group, v.key);
            // A key that shadows one of the program's stays in the original
            // kept aside.
            if (changed.contains(vName) || shadowsOwnKey(vName))
                continue;
            values << v;
            if (v.group.compare(QLatin1String(Keys::Section), Qt::CaseInsensitive) == 0 &&
                !vName.contains(QLatin1String("//")) && !vName.endsWith(QLatin1Char('/')))
                own.insert(vName, v.text);
        }
        values << changes;
        after = IniText::written(values);
        if (!after || !readsBack(*after, own, changed, Others::AtLeast)) {
            *reason = noScratchReason();
            return false;
        }
        damaged = damaged || current.state == RegularFile::Content::State::Read;
    }
    if (damaged && !keepAside(m_path, current.bytes, reason))
        return false;
    return AtomicFile::replace(m_path, *after, reason);
}

QString SettingsStore::text(QAnyStringView key, const QString &defaultValue) const
{
    return get(QString::fromLatin1(Keys::Section), key.toString(), defaultValue);
}

bool SettingsStore::save(QAnyStringView key, const QString &value)
{
    return save(QString::fromLatin1(Keys::Section), key.toString(), value);
}

int SettingsStore::flag(QAnyStringView key, int defaultValue) const
{
    return text(key, QString::number(defaultValue)).trimmed().toShort();
}

bool SettingsStore::setFlag(QAnyStringView key, int value)
{
    return save(key, QString::number(value));
}

std::optional<QTime> SettingsStore::time(QAnyStringView key) const
{
    return TimeText::parse(text(key));
}

std::optional<QDate> SettingsStore::date(QAnyStringView key) const
{
    const QDate d = QDate::fromString(text(key), Qt::ISODate);
    if (!d.isValid())
        return std::nullopt;
    return d;
}
