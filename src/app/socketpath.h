#pragma once

#include <QByteArray>
#include <QString>

/// The name to bind or connect a local socket to for the file at `path`.
/// A socket's address holds at most 107 bytes of path; a longer path is
/// reached through a descriptor of its folder instead ("/proc/self/fd/N/"
/// and the file's name), kept open as long as this object lives.
class SocketPath {
public:
    explicit SocketPath(const QString &path);
    ~SocketPath();
    SocketPath(const SocketPath &) = delete;
    SocketPath &operator=(const SocketPath &) = delete;

    /// What fits in a socket's address; empty when nothing does (error()).
    QByteArray name() const { return m_name; }
    /// Why there is no name, in words for a log line.
    QString error() const { return m_error; }

    /// The longest path a socket's address holds.
    static qsizetype maxLength();

private:
    QByteArray m_name;
    QString m_error;
    int m_folder = -1;
};
