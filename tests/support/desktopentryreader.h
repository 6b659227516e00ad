#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

/// Reads desktop entries back by the freedesktop rules, strictly: anything
/// the rules do not allow makes the read fail, so a test sees writer faults.
/// freedesktop.org Desktop Entry format, version 1.5.
namespace DesktopEntryReader {

/// The keys of the [Desktop Entry] group, values unescaped (\s \n \t \r \\);
/// nothing when the text is not a well-formed entry.
std::optional<QMap<QString, QString>> mainGroup(const QString &fileText);

/// The words of an (unescaped) Exec value: quoting undone and "%%" read as
/// "%". Nothing when the value breaks a rule: a reserved character outside
/// quotes, an unknown escape inside them, an unterminated quote, a field code.
std::optional<QStringList> execArguments(const QString &exec);

/// desktop-file-validate's remarks on a file: "" when it accepts it without
/// any, else its output. Nothing when the tool is not installed.
std::optional<QString> validate(const QString &path);

} // namespace DesktopEntryReader
