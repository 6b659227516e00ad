#pragma once

#include <QString>

/// The two folders whose desktop entries a desktop session starts at log-on.
/// freedesktop.org Desktop Application Autostart, "Autostart Directories".
struct AutostartFolders {
    QString user;   ///< $XDG_CONFIG_HOME/autostart
    QString system; ///< /etc/xdg/autostart

    /// The folders of this user and system.
    static AutostartFolders standard();
};

/// The desktop entry that starts a program at log-on, written by the
/// freedesktop rules.
/// freedesktop.org Desktop Entry format, version 1.5.
namespace AutostartEntry {

/// One word of an Exec command line: quoted when it holds a reserved
/// character, with the characters that are special inside quotes escaped
/// and every "%" doubled. Not yet escaped for the key file.
QString execArgument(const QString &argument);

/// A string value escaped for a desktop entry file (\\ \n \t \r, and \s for
/// spaces at either end).
QString keyFileValue(const QString &value);

/// Whether a text can be stored in a desktop entry at all: no control
/// characters other than tab, line feed and carriage return.
bool isStorable(const QString &text);

/// The text of an entry running `program` (its full path, no arguments).
QString enabledText(const QString &program);
/// The text of a disabled entry. `rawExec` is an Exec value as it stood in
/// the file before, kept so the disabled entry still says what it ran; ""
/// leaves Exec out.
QString disabledText(const QString &rawExec);

/// The Exec value, still escaped, of the [Desktop Entry] group of a file's
/// text; "" when there is none.
QString rawExecOf(const QString &fileText);

/// Whether a file's text starts a program at log-on: an Exec in the
/// [Desktop Entry] group, and not Hidden=true.
bool startsAtLogOn(const QString &fileText);

} // namespace AutostartEntry

/// Writes `<folder>/<name>.desktop`, replacing the file atomically: an entry
/// running `program`, or, for an empty `program`, the entry kept but
/// disabled (Hidden=true). A missing folder is created. False when nothing
/// was written, with `reason` set for the user: the folder cannot be created
/// or written (the file there is then as it was), the name is not a plain
/// file name, or the program path holds characters an entry cannot carry.
/// Whether `<folder>/<name>.desktop` is a regular file that starts a program
/// at log-on.
bool autostartEntryStarts(const QString &folder, const QString &name);

bool writeAutostartEntry(const QString &folder, const QString &name, const QString &program,
                         QString *reason = nullptr);
