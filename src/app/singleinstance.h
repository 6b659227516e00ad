#pragma once

#include <QObject>

class QLocalServer;
class QLockFile;

/// One running clock per user and display. The first instance holds a lock
/// and listens on a local socket, "<name>-<uid>-<display>" in a private
/// folder of the user: $XDG_RUNTIME_DIR, else "zirvel-<uid>" in the
/// temporary folder. A later start asks it to come to the front and exits.
/// A folder or file there that another user owns, or that others may write,
/// is never used; with no trusted folder the clock starts without the check.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// Chooses the folder; may run before the application object exists.
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    /// True when this process is to run the clock: it now owns the name, or
    /// there is nowhere safe to check. Needs the application object.
    bool claim();
    /// Asks the running instance to come to the front; true when it answered.
    bool notifyRunning();
    /// One line for the user when something was not trusted or did not work;
    /// "" otherwise.
    QString warning() const { return m_warning; }
    /// Whether the session's runtime folder is missing or was not trusted;
    /// the toolkit's own remarks about it then add nothing to warning().
    bool runtimeFolderUnusable() const { return m_runtimeUnusable; }

    /// Drops the toolkit's warnings about the runtime folder (a missing or
    /// shared $XDG_RUNTIME_DIR): warning() has already said what matters.
    static void silenceRuntimeFolderWarnings();

signals:
    void activationRequested();

private:
    void chooseFolder();
    void listen();

    QString m_name;
    QString m_base; ///< folder and name, without ".lock" / ".socket"; "" none
    QString m_warning;
    bool m_runtimeUnusable = false;
    QLockFile *m_lock = nullptr;
    QLocalServer *m_server = nullptr;
};
