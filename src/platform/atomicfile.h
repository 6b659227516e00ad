#pragma once

#include <QByteArray>
#include <QString>

/// Writing a user's file in one piece: the bytes go to a new file beside it,
/// every write, the sync to disk and the close are checked, and only then is
/// it renamed into place. Any failure leaves whatever was at the path as it
/// was and removes the new file; nothing is ever half-written.
namespace AtomicFile {

/// Why a file could not be written, in words for the user: "磁盘已满" for a
/// full file system, "磁盘配额已用完" for an exhausted disk quota, else the
/// system's text for `error` (an errno value).
QString reasonText(int error);

/// Replaces the file at `path` with `bytes`. A link is followed: the file it
/// points to is replaced, as editors do. The folder of `path` is created when
/// missing; a file that is replaced keeps its permissions, a new one gets
/// 0666 less the umask. False with `reason` set (for the user) on failure.
bool replace(const QString &path, const QByteArray &bytes, QString *reason);

enum class Created {
    Written, ///< the file is there, holding `bytes`
    Taken,   ///< something already is at the path; nothing was written
    Failed,  ///< `reason` says why
};

/// Writes `bytes` as a new file at `path`, never replacing anything there
/// (not even a link). The folder must exist.
Created create(const QString &path, const QByteArray &bytes, QString *reason);

} // namespace AtomicFile
