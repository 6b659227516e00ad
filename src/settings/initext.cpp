#include "settings/initext.h"

#include "settings/privatefolder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace IniText {

namespace {

/// Where the scratch folders go: the session's runtime folder, kept in
/// memory on most systems (QSettings syncs every file it writes to disk), when
/// it is the user's private folder; else the temporary folder.
QString scratchParent()
{
    static const QString parent = [] {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        return !runtime.isEmpty() && PrivateFolder::distrust(runtime).isEmpty() ? runtime
                                                                                : QDir::tempPath();
    }();
    return parent;
}

/// A private folder (mode 0700, fresh name) holding one settings copy; every
/// conversion gets its own, so QSettings' cache of files by name never
/// serves an earlier copy.
class Scratch {
public:
    explicit Scratch(const QByteArray &bytes)
        : m_dir(scratchParent() + QStringLiteral("/zirvel-settings-XXXXXX"))
    {
        if (!m_dir.isValid())
            return;
        QFile file(filePath());
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush())
            m_ok = true;
    }
    bool isValid() const { return m_ok; }
    QString filePath() const { return m_dir.filePath(QStringLiteral("settings.ini")); }
    QByteArray content() const
    {
        QFile file(filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};

QString valueText(const QVariant &v)
{
    return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(','))
                                                : v.toString();
}

} // namespace

std::optional<Parsed> parse(const QByteArray &bytes)
{
    const Scratch scratch(bytes);
    if (!scratch.isValid())
        return std::nullopt;
    QSettings settings(scratch.filePath(), QSettings::IniFormat);
    Parsed parsed;
    parsed.formatError = settings.status() == QSettings::FormatError;
    for (const QString &group : settings.childGroups()) {
        settings.beginGroup(group);
        for (const QString &key : settings.childKeys())
            parsed.values.append(Value{group, key, valueText(settings.value(key))});
        settings.endGroup();
    }
    // Keys outside any section are QSettings' "General" group.
    for (const QString &key : settings.childKeys())
        parsed.values.append(Value{QStringLiteral("General"), key, valueText(settings.value(key))});
    return parsed;
}

std::optional<QByteArray> withValue(const QByteArray &bytes, const QString &group,
                                    const QString &key, const QString &text)
{
    const Scratch scratch(bytes);
    if (!scratch.isValid())
        return std::nullopt;
    {
        QSettings settings(scratch.filePath(), QSettings::IniFormat);
        // Keys outside any section are read as group "General"; write them back there.
        settings.setValue(group == QLatin1String("General") ? key : group + QLatin1Char('/') + key,
                          text);
        settings.sync();
        if (settings.status() == QSettings::AccessError)
            return std::nullopt;
    }
    return scratch.content();
}

} // namespace IniText
