#pragma once

#include "app/commandline.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class ChannelServer;
class FileLock;
class SocketPath;

/// One running clock per user and display. The first instance holds a lock
/// and listens on a local socket, "<name>-<uid>-<display>" in a private
/// folder of the user: $XDG_RUNTIME_DIR, else "zirvel-<uid>" in the
/// temporary folder, else "zirvel/run-<host>" in the user's cache folder
/// (which no other user can take first). A later start asks it to come to
/// the front and exits; a command given on a later start's command line is
/// carried out by the running one, which sends back what to print and the
/// exit code.
/// A folder or file there that another user owns, or that others may write,
/// is never used; with no trusted folder the clock starts without the check.
///
/// A request carries a deadline on the monotonic clock, which all processes
/// of the machine share: the running clock carries out only a request it
/// takes up before that deadline, and says so otherwise. So a later start
/// that got no answer by the deadline, and whose request the running clock
/// has not even read, knows the command will not be carried out.
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
    /// Sends a command line to the running instance, to be taken up within
    /// `waitMs`, and returns its reply. Nothing when no instance listens; a
    /// Failure reply saying it was not carried out when the instance did not
    /// take it up in time, or, when it took it up and then did not answer
    /// within GraceMs more, saying that the outcome is not known.
    std::optional<CommandLine::Reply> send(const QStringList &arguments, int waitMs);

    /// Carries out the command lines that later starts send; without one,
    /// every start just asks for activationRequested.
    using CommandHandler = std::function<CommandLine::Reply(const QStringList &)>;
    void setCommandHandler(CommandHandler handler) { m_handler = std::move(handler); }

    /// How long a later start waits for the running instance to take up its
    /// request.
    static constexpr int AnswerTimeMs = 2000;
    /// How much longer it waits for the answer to a request taken up: the
    /// settings' lock wait (1 s) and their write.
    static constexpr int GraceMs = 3000;
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
    void answer(class QLocalSocket *client, const QByteArray &request);
    void requestActivation();

    QString m_name;
    QString m_base; ///< folder and name, without ".lock" / ".socket"; "" none
    QString m_warning;
    bool m_runtimeUnusable = false;
    std::unique_ptr<FileLock> m_lock;
    std::unique_ptr<SocketPath> m_socketPath;
    ChannelServer *m_server = nullptr;
    CommandHandler m_handler;
    bool m_activationQueued = false;
};
