#include "settings/initext.h"

#include "settings/initypedvalues.h"
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

// A list (a, b) is joined with ",". A list with an element starting with "@"
// comes as a list of variants, each a text once typed values are gone.
QString valueText(const QVariant &v)
{
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    if (v.typeId() == QMetaType::QVariantList) {
        QStringList texts;
        for (const QVariant &element : v.toList())
            texts << element.toString();
        return texts.join(QLatin1Char(','));
    }
    return v.toString();
}

bool isText(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::QStringList:
    case QMetaType::UnknownType: // no value: a key QSettings cannot look up again
        return true;
    case QMetaType::QVariantList:
        for (const QVariant &element : v.toList()) {
            if (element.typeId() != QMetaType::QString)
                return false;
        }
        return true;
    default:
        return false;
    }
}

/// The bytes QSettings writes for `bytes` (free of typed values) with the
/// values set.
std::optional<QByteArray> writtenWith(const QByteArray &bytes, const QList<Value> &values)
{
    const Scratch scratch(bytes);
    if (!scratch.isValid())
        return std::nullopt;
    {
        QSettings settings(scratch.filePath(), QSettings::IniFormat);
        // Keys outside any section are read as group "General"; write them back there.
        for (const Value &v : values) {
            settings.setValue(
                v.group == QLatin1String("General") ? v.key : v.group + QLatin1Char('/') + v.key,
                v.text);
        }
        settings.sync();
        if (settings.status() == QSettings::AccessError)
            return std::nullopt;
    }
    return scratch.content();
}

bool isPlainName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

bool isPlainValue(const QString &text)
{
    if (!text.isEmpty() &&
        (text.front().isSpace() || text.back().isSpace() || text.front() == QLatin1Char('@')))
        return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.unicode() == 0xfeff ||
            QStringView(u"\\\";,=#[]%").contains(c) || c.isSurrogate())
            return false;
    }
    return true;
}

/// A line of the file: its text without the line end, and the line end.
struct Line {
    QByteArray text;
    QByteArray end;
};

QList<Line> splitLines(const QByteArray &bytes)
{
    QList<Line> lines;
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', from);
        const qsizetype stop = nl < 0 ? bytes.size() : nl;
        const bool crlf = stop > from && bytes.at(stop - 1) == '\r';
        const qsizetype textEnd = crlf ? stop - 1 : stop;
        lines.append({bytes.mid(from, textEnd - from),
                      nl < 0 ? QByteArray() : bytes.mid(textEnd, stop + 1 - textEnd)});
        from = nl < 0 ? bytes.size() : nl + 1;
    }
    return lines;
}

/// The section a header line opens ("[Settings]"), if it is one.
std::optional<QByteArray> sectionOf(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return std::nullopt;
    return t.mid(1, t.size() - 2);
}

/// The key of a "key=value" line, if it is one.
std::optional<QByteArray> keyOf(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('#'))
        return std::nullopt;
    const qsizetype eq = t.indexOf('=');
    return eq < 0 ? t : t.left(eq).trimmed();
}

} // namespace

std::optional<QByteArray> withValuesEdited(const QByteArray &bytes, const QList<Value> &values)
{
    QList<Line> lines = splitLines(bytes);
    const QByteArray lineEnd = !lines.isEmpty() && lines.front().end == "\r\n" ? "\r\n" : "\n";
    for (const Value &v : values) {
        if (!isPlainName(v.group) || v.group == QLatin1String("General") || !isPlainName(v.key) ||
            !isPlainValue(v.text))
            return std::nullopt;
        const QByteArray section = v.group.toUtf8();
        const QByteArray key = v.key.toUtf8();
        const QByteArray line = key + '=' + v.text.toUtf8();
        std::optional<qsizetype> found;
        std::optional<qsizetype> sectionEnd; // after the last line with text in the section
        bool inSection = false;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (const std::optional<QByteArray> s = sectionOf(lines[i].text)) {
                inSection = *s == section;
                if (inSection)
                    sectionEnd = i + 1;
                continue;
            }
            if (!inSection)
                continue;
            if (!lines[i].text.trimmed().isEmpty())
                sectionEnd = i + 1;
            if (keyOf(lines[i].text) == key) {
                if (found)
                    return std::nullopt;
                found = i;
            }
        }
        if (found) {
            lines[*found].text = line;
            continue;
        }
        if (!lines.isEmpty() && lines.back().end.isEmpty())
            lines.back().end = lineEnd;
        if (sectionEnd) {
            lines.insert(*sectionEnd, {line, lineEnd});
        } else {
            if (!lines.isEmpty())
                lines.append({QByteArray(), lineEnd});
            lines.append({'[' + section + ']', lineEnd});
            lines.append({line, lineEnd});
        }
    }
    QByteArray out;
    out.reserve(bytes.size() + 64);
    for (const Line &l : std::as_const(lines))
        out += l.text + l.end;
    return out;
}

std::optional<Parsed> parse(const QByteArray &bytes)
{
    const IniTypedValues::Cleaned cleaned = IniTypedValues::remove(bytes);
    const Scratch scratch(cleaned.bytes);
    if (!scratch.isValid())
        return std::nullopt;
    QSettings settings(scratch.filePath(), QSettings::IniFormat);
    Parsed parsed;
    parsed.typedValuesRemoved = cleaned.removed;
    auto take = [&](const QString &group, const QString &key) {
        const QVariant v = settings.value(key);
        parsed.onlyText = parsed.onlyText && isText(v);
        parsed.values.append(Value{group, key, valueText(v)});
    };
    for (const QString &group : settings.childGroups()) {
        settings.beginGroup(group);
        for (const QString &key : settings.childKeys())
            take(group, key);
        settings.endGroup();
    }
    // Keys outside any section are QSettings' "General" group.
    for (const QString &key : settings.childKeys())
        take(QStringLiteral("General"), key);
    for (const QString &key : settings.allKeys())
        parsed.all.insert(key, valueText(settings.value(key)));
    parsed.formatError = settings.status() == QSettings::FormatError;
    return parsed;
}

std::optional<QByteArray> withValue(const QByteArray &bytes, const QString &group,
                                    const QString &key, const QString &text)
{
    return writtenWith(IniTypedValues::remove(bytes).bytes, {Value{group, key, text}});
}

std::optional<QByteArray> withValues(const QByteArray &bytes, const QList<Value> &values)
{
    return writtenWith(IniTypedValues::remove(bytes).bytes, values);
}

std::optional<QByteArray> written(const QList<Value> &values)
{
    return writtenWith({}, values);
}

} // namespace IniText
