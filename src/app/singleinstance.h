#pragma once

#include <QObject>

class QLocalServer;
class QLockFile;

/// One running clock per user and display. The first instance listens on a
/// local socket in the runtime folder; a later start asks it to come to the
/// front and exits.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    /// True when this process is the first: it now owns the name.
    bool claim();
    /// Asks the running instance to come to the front; true when it answered.
    bool notifyRunning();

signals:
    void activationRequested();

private:
    QString m_name;
    QLockFile *m_lock = nullptr;
    QLocalServer *m_server = nullptr;
};
