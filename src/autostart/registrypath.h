#pragma once

#include <QString>
#include <QtGlobal>

class IMessageBoxes;
struct AutostartFolders;

/// Registry locations written as one text ("HKEY_CURRENT_USER\SOFTWARE\...")
/// and the one write the program makes through them. On Linux the Run keys
/// are the freedesktop autostart folders (see autostartentry.h).
namespace RegistryPath {

/// The predefined root keys.
enum RootKey : quint32 {
    NoRootKey = 0,
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
    PerformanceData = 0x80000004u,
    CurrentConfig = 0x80000005u,
    DynData = 0x80000006u,
};

/// The Run key whose values are started at log-on, below a root key.
inline constexpr char RunSubKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

/// "Incorrect Format:", two line feeds, then the path exactly as passed.
QString incorrectFormatMessage(const QString &keyPath);

/// Why the entry at `path` could not be written, for the user.
QString entryProblemMessage(const QString &path, const QString &reason);

} // namespace RegistryPath

/// The key of a root name ("HKEY_LOCAL_MACHINE"), compared exactly and with
/// case; NoRootKey for any other text.
quint32 RootKeyFromName(const QString &rootName);

/// Splits a path into its root key and sub-key. A path must start with
/// "HKEY_" and must not end with a backslash. Accepted: returns the root key
/// (NoRootKey when the root name is unknown) and replaces keyPath by the
/// part after the first backslash ("" for a root alone). Rejected: shows the
/// format message, returns NoRootKey and leaves keyPath as it was.
quint32 SplitKeyPath(QString &keyPath, IMessageBoxes &messages);

/// Writes a string value under a registry path. The Run key under
/// HKEY_CURRENT_USER is the per-user autostart folder and under
/// HKEY_LOCAL_MACHINE the system one; the value is the entry
/// "<valueName>.desktop" there, running `data`, or disabled when `data` is
/// empty. Any other key does not exist and nothing is written. A malformed
/// path shows the format message. Returns, for the user, why the entry could
/// not be written (it is then as it was); "" otherwise.
/// Whether the Run key of `keyPath` (as WriteStringValue finds it) holds an
/// entry `valueName` that starts a program at log-on; false for a malformed
/// path (nothing is shown) or any other key.
bool HasRunValue(const QString &keyPath, const QString &valueName, const AutostartFolders &folders);

QString WriteStringValue(const QString &keyPath, const QString &valueName, const QString &data,
                         const AutostartFolders &folders, IMessageBoxes &messages);
