#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

/// A private X server (Xvfb, 1280x800) with a window manager (openbox), for
/// tests that need real windows. Start it before the QApplication exists:
/// start() points DISPLAY and the Qt platform at it. Stops both on
/// destruction.
class XSession {
public:
    XSession() = default;
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    /// False, with error() set, when Xvfb or openbox is missing or fails.
    bool start();
    QString error() const { return m_error; }
    QString display() const { return m_display; }

    /// Runs a command on this display and returns its standard output;
    /// empty on failure.
    QByteArray run(const QString &program, const QStringList &arguments) const;

private:
    QProcess m_server;
    QProcess m_windowManager;
    QTemporaryDir m_runtime;
    QString m_display;
    QString m_error;
};
