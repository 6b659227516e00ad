#pragma once

#include <QByteArray>
#include <QString>

/// Reading a file at a path that may hold anything: opening a FIFO, a
/// socket, a device or a folder for reading can block or have side effects,
/// so only a regular file is ever opened.
namespace RegularFile {

struct Content {
    enum class State {
        Missing,    ///< nothing at the path
        Read,       ///< `bytes` hold the whole file
        Unreadable, ///< `reason` says why, for the user
    };
    State state = State::Missing;
    QByteArray bytes;
    QString reason;
};

/// The file's content; a path that is not a regular file (after following
/// links), or a file larger than `maxSize`, is unreadable and never opened.
Content read(const QString &path, qint64 maxSize);

} // namespace RegularFile
