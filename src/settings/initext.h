#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

/// Settings text in QSettings' INI format, read and written by QSettings
/// itself, so the file keeps exactly the format it has always had. The
/// conversion works on a copy in a private scratch folder: QSettings never
/// opens, locks or replaces a file at a path the user controls; and it never
/// sees a typed value (IniTypedValues), so it never decodes binary data.
namespace IniText {

struct Value {
    QString group; ///< "General" for keys outside any section
    QString key;
    QString text; ///< a list value (a, b) joined with ","
};

struct Parsed {
    QList<Value> values; ///< in QSettings' order: sections, then keys outside them
    bool formatError = false;
    int typedValuesRemoved = 0; ///< see IniTypedValues; counts as damage
    /// Every value QSettings returned was text: what the removal of typed
    /// values guarantees (checked by the fuzz tests).
    bool onlyText = true;
    /// Every key QSettings lists, with its group ("Settings/prompt"; a key
    /// outside any section alone), and its text: also the keys `values`
    /// leaves out because QSettings cannot look them up by group.
    QMap<QString, QString> all;
};

/// What QSettings reads from these bytes; nothing when no scratch folder
/// could be made.
std::optional<Parsed> parse(const QByteArray &bytes);

/// The bytes QSettings writes for `bytes` (typed values emptied) with one
/// value set; nothing when no scratch folder could be made or QSettings could
/// not write there.
std::optional<QByteArray> withValue(const QByteArray &bytes, const QString &group,
                                    const QString &key, const QString &text);

/// These bytes with each value's line rewritten in place, or added at the end
/// of its section (the section added at the end of the file), every other
/// line left byte for byte. Nothing when a section, key or value is not plain
/// text QSettings reads as written (such as a comma, a quote, a backslash, a
/// control character or surrounding blanks), or when the key is there more
/// than once: withValues then has QSettings write it. What comes back is to be
/// read back (parse) before use: QSettings is the judge of what it means.
std::optional<QByteArray> withValuesEdited(const QByteArray &bytes, const QList<Value> &values);

/// As withValue, with several values set in one go.
std::optional<QByteArray> withValues(const QByteArray &bytes, const QList<Value> &values);

/// The bytes QSettings writes for these values alone.
std::optional<QByteArray> written(const QList<Value> &values);

} // namespace IniText
