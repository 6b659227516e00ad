#pragma once

#include <QString>
#include <QTemporaryDir>

#include <vector>

/// A socket where a message bus would be, standing for a hung dbus-daemon.
/// Accepting: connections go through and nothing is ever read or answered.
/// NeverAccepting: the socket's queue is already full, so connect() itself
/// blocks until the socket goes.
class StuckBus {
public:
    enum class Mode { Accepting, NeverAccepting };

    explicit StuckBus(Mode mode = Mode::Accepting) : m_mode(mode) {}
    ~StuckBus();
    StuckBus(const StuckBus &) = delete;
    StuckBus &operator=(const StuckBus &) = delete;

    /// Creates the socket; false when it cannot.
    bool start();
    /// The D-Bus address of the socket.
    QString address() const { return QStringLiteral("unix:path=") + m_dir.filePath("bus"); }

private:
    Mode m_mode;
    QTemporaryDir m_dir;
    int m_listener = -1;
    std::vector<int> m_held;
};
