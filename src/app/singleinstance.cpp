#include "app/singleinstance.h"

#include "app/displaytag.h"
#include "settings/privatefolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString octal(mode_t mode)
{
    return QStringLiteral("0%1").arg(mode & 07777, 3, 8, QLatin1Char('0'));
}

/// Why an existing lock or socket file in a folder is not ours; "" when it
/// is, or when there is none.
QString fileDistrust(const QString &path, mode_t type)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT ? QString() : qt_error_string(errno);
    if ((st.st_mode & S_IFMT) != type)
        return QStringLiteral("%1 is not what it should be").arg(QDir(path).dirName());
    if (st.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to user %2").arg(QDir(path).dirName()).arg(st.st_uid);
    if (st.st_mode & 022)
        return QStringLiteral("others may write %1, mode %2")
            .arg(QDir(path).dirName(), octal(st.st_mode));
    return {};
}

/// The private folder in the temporary folder, made if missing.
QString temporaryFolder()
{
    const QString folder = QDir::tempPath() + QStringLiteral("/zirvel-%1").arg(::geteuid());
    ::mkdir(QFile::encodeName(folder).constData(), 0700); // an existing one is checked
    return folder;
}

} // namespace

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent),
      m_name(
          QStringLiteral("%1-%2-%3").arg(name).arg(::geteuid()).arg(displayTag(qgetenv("DISPLAY"))))
{
    chooseFolder();
}

SingleInstance::~SingleInstance()
{
    delete m_server;
    delete m_lock;
}

void SingleInstance::chooseFolder()
{
    QStringList refused;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    m_runtimeUnusable = runtime.isEmpty();
    QStringList folders;
    if (!runtime.isEmpty())
        folders << runtime;
    folders << QString(); // the temporary one, made only when needed
    for (QString folder : std::as_const(folders)) {
        if (folder.isEmpty())
            folder = temporaryFolder();
        const QString base = folder + QLatin1Char('/') + m_name;
        QString problem = PrivateFolder::distrust(folder);
        if (problem.isEmpty())
            problem = fileDistrust(base + QStringLiteral(".lock"), S_IFREG);
        if (problem.isEmpty())
            problem = fileDistrust(base + QStringLiteral(".socket"), S_IFSOCK);
        if (problem.isEmpty()) {
            m_base = base;
            if (!refused.isEmpty())
                m_warning = QStringLiteral("not using %1; using %2")
                                .arg(refused.join(QStringLiteral(", nor ")), folder);
            return;
        }
        if (folder == runtime)
            m_runtimeUnusable = true;
        refused << QStringLiteral("%1 (%2)").arg(folder, problem);
    }
    m_warning = QStringLiteral("not using %1; starting without looking for a clock already running")
                    .arg(refused.join(QStringLiteral(", nor ")));
}

bool SingleInstance::claim()
{
    if (m_base.isEmpty())
        return true;
    const QString lockPath = m_base + QStringLiteral(".lock");
    m_lock = new QLockFile(lockPath);
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(100)) {
        QFile::setPermissions(lockPath, QFile::ReadOwner | QFile::WriteOwner);
        listen();
        return true;
    }
    if (m_lock->error() == QLockFile::LockFailedError)
        return false; // a clock is running
    m_warning =
        QStringLiteral("cannot lock %1; starting without looking for a clock already running")
            .arg(lockPath);
    m_base.clear();
    return true;
}

void SingleInstance::silenceRuntimeFolderWarnings()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: ")) &&
                (message.contains(QLatin1String("runtime directory")) ||
                 message.contains(QLatin1String("XDG_RUNTIME_DIR"))))
                return;
            if (previous)
                previous(type, context, message);
        });
}

void SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString socket = m_base + QStringLiteral(".socket");
    QLocalServer::removeServer(socket); // left over by a crash; we hold the lock
    if (!m_server->listen(socket))
        return; // still the only instance; raising just won't work
    // A later start writes its arguments as one line of JSON and reads one
    // line back. One that hangs up without a word only wants the clock in
    // front.
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection()) {
            auto *buffer = new QByteArray;
            connect(client, &QObject::destroyed, this, [buffer] { delete buffer; });
            connect(client, &QLocalSocket::readyRead, this, [this, client, buffer] {
                if (client->property("answered").toBool()) {
                    client->readAll();
                    return;
                }
                *buffer += client->readAll();
                if (buffer->size() > 64 * 1024) {
                    client->abort();
                    return;
                }
                const qsizetype end = buffer->indexOf('\n');
                if (end < 0)
                    return;
                const QByteArray request = buffer->left(end);
                buffer->clear();
                client->setProperty("answered", true);
                answer(client, request);
            });
            connect(client, &QLocalSocket::disconnected, this, [this, client] {
                if (!client->property("answered").toBool())
                    emit activationRequested();
                client->deleteLater();
            });
        }
    });
}

void SingleInstance::answer(QLocalSocket *client, const QByteArray &request)
{
    CommandLine::Reply reply;
    const std::optional<QStringList> arguments = CommandLine::requestFromJson(request);
    if (!arguments) {
        reply = CommandLine::Reply::failure(CommandLine::Usage,
                                            QStringLiteral("zirvel：正在运行的时钟看不懂这个请求"));
    } else if (arguments->isEmpty() || !m_handler) {
        emit activationRequested();
    } else {
        reply = m_handler(*arguments);
    }
    client->write(reply.toJson() + '\n');
    client->flush();
    client->disconnectFromServer();
}

bool SingleInstance::notifyRunning()
{
    const std::optional<CommandLine::Reply> reply = send({}, AnswerTimeMs);
    return reply && reply->exitCode == CommandLine::Success;
}

std::optional<CommandLine::Reply> SingleInstance::send(const QStringList &arguments, int waitMs)
{
    if (m_base.isEmpty())
        return std::nullopt;
    const QDeadlineTimer deadline(waitMs);
    const auto noAnswer = [] {
        return CommandLine::Reply::failure(
            CommandLine::Failure,
            QStringLiteral("zirvel：正在运行的时钟没有在 %1 秒内回答").arg(AnswerTimeMs / 1000));
    };
    QLocalSocket socket;
    socket.connectToServer(m_base + QStringLiteral(".socket"));
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        // Nobody listening: no clock runs. Listening but not accepting: one
        // runs and is stuck.
        if (socket.error() == QLocalSocket::ServerNotFoundError ||
            socket.error() == QLocalSocket::ConnectionRefusedError)
            return std::nullopt;
        return noAnswer();
    }
    socket.write(CommandLine::requestJson(arguments) + '\n');
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (socket.bytesToWrite() > 0)
            socket.waitForBytesWritten(int(deadline.remainingTime()));
        if (!socket.bytesAvailable() && !socket.waitForReadyRead(int(deadline.remainingTime()))) {
            answer += socket.readAll();
            break;
        }
        answer += socket.readAll();
        if (deadline.hasExpired())
            break;
    }
    const qsizetype end = answer.indexOf('\n');
    if (end < 0)
        return noAnswer();
    if (std::optional<CommandLine::Reply> reply = CommandLine::Reply::fromJson(answer.left(end)))
        return reply;
    return noAnswer();
}
