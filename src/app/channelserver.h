#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <optional>

class QLocalSocket;
class QSocketNotifier;

/// A listening local socket that outlives running out of descriptors and a
/// crowd of connections: it accepts them itself, keeps at most
/// MaxConnections open (the rest wait in the system's queue), closes each
/// one IdleMs after it came, and, with no descriptor left to take a waiting
/// connection, turns that connection away with refusal() rather than give up
/// listening. (The toolkit's own server stops listening, and removes its
/// socket file, on the first failed accept.)
class ChannelServer : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxConnections = 32;
    static constexpr int IdleMs = 5000;

    explicit ChannelServer(QObject *parent = nullptr);
    ~ChannelServer() override;

    /// Listens at `name` (a path that fits a socket's address), replacing
    /// any file there, for this user only; "" or why not.
    QString listen(const QByteArray &name);
    /// Written to a connection turned away for want of descriptors.
    void setRefusal(const QByteArray &line) { m_refusal = line; }
    /// Whether `socket` was closed for having stayed IdleMs.
    static bool expired(const QLocalSocket *socket);

signals:
    /// A new connection; deleted by this server when it is closed for
    /// staying too long, else to be deleted by the receiver.
    void connected(QLocalSocket *socket);

private:
    void acceptWaiting();
    void adopt(int fd);
    /// Takes a waiting connection with the spare descriptor and closes it
    /// with the refusal: whether one was waiting; nothing on another error.
    std::optional<bool> turnAway();
    void pause();
    void resume();

    int m_listener = -1;
    int m_spare = -1; ///< given up to take a connection when none is left
    int m_open = 0;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_retry;
    QByteArray m_refusal;
};
