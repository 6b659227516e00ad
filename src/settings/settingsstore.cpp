#include "settings/settingsstore.h"

#include "settings/settingskeys.h"
#include "settings/timetext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

Q_LOGGING_CATEGORY(lcSettings, "zirvel.settings", QtWarningMsg)

namespace {

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
bool looksLikeText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // missing: nothing to protect
    const QByteArray content = file.readAll();
    if (content.contains('\0'))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = utf8(content);
    return !utf8.hasError();
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
    const QFileInfo info(m_path);
    if (info.exists() && !info.isReadable()) {
        // Rewriting a file we cannot read would throw its content away.
        qCWarning(lcSettings) << "cannot read" << m_path << "- settings will not be saved";
        m_readable = false;
        return;
    }
    m_file = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    m_file->setAtomicSyncRequired(true);
    m_broken = m_file->status() != QSettings::NoError || !looksLikeText(m_path);
    if (m_broken)
        qCWarning(lcSettings) << m_path << "is damaged; it is kept as .broken on the next save";

    for (const QString &group : m_file->childGroups()) {
        m_file->beginGroup(group);
        for (const QString &key : m_file->childKeys()) {
            const QVariant v = m_file->value(key);
            const QString text = v.typeId() == QMetaType::QStringList
                                     ? v.toStringList().join(QLatin1Char(','))
                                     : v.toString();
            const QString name = lookupName(group, key);
            if (!m_values.contains(name))
                m_values.insert(name, Entry{group, key, text});
        }
        m_file->endGroup();
    }
    // Keys outside any section land in the "General" group of QSettings.
    for (const QString &key : m_file->childKeys()) {
        const QString name = lookupName(QStringLiteral("General"), key);
        if (!m_values.contains(name))
            m_values.insert(name,
                            Entry{QStringLiteral("General"), key, m_file->value(key).toString()});
    }
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
    const QString name = lookupName(section, key);
    auto it = m_values.find(name);
    if (it == m_values.end())
        it = m_values.insert(name, Entry{canonicalSection(section), canonicalKey(key), value});
    else
        it->value = value;

    if (!m_readable || !m_file)
        return false;
    if (m_broken) {
        const QString aside = m_path + QStringLiteral(".broken");
        QFile::remove(aside);
        if (!QFile::copy(m_path, aside)) {
            qCWarning(lcSettings) << "cannot keep" << m_path << "aside; not saving";
            return false;
        }
        m_broken = false;
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_file->setValue(it->section + QLatin1Char('/') + it->key, value);
    m_file->sync(); // written to a temporary file, synced, then renamed over the old one
    // A FormatError from reading stays in status(); only a failed write counts here.
    if (m_file->status() == QSettings::AccessError) {
        qCWarning(lcSettings) << "cannot write" << m_path;
        return false;
    }
    return true;
}

int SettingsStore::flag(const QString &key, int defaultValue) const
{
    return get(QString::fromLatin1(Keys::Section), key, defaultValue).trimmed().toShort();
}

std::optional<QTime> SettingsStore::time(const QString &key) const
{
    return TimeText::parse(get(QString::fromLatin1(Keys::Section), key));
}

std::optional<QDate> SettingsStore::date(const QString &key) const
{
    const QDate d = QDate::fromString(get(QString::fromLatin1(Keys::Section), key), Qt::ISODate);
    if (!d.isValid())
        return std::nullopt;
    return d;
}
