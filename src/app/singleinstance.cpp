#include "app/singleinstance.h"

#include "app/channelserver.h"
#include "app/displaytag.h"
#include "app/socketpath.h"
#include "platform/filelock.h"
#include "settings/privatefolder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QSysInfo>

#include <cerrno>
#include <chrono>
#include <linux/sockios.h>
#include <sys/ioctl.h>
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
    struct stat st = {};
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

/// The private folder in the user's cache folder, made if missing: a name
/// in the shared temporary folder can be taken first by anyone, this one
/// only by the user. One per machine, for a home shared between machines.
QString cacheFolder()
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    QString host = QSysInfo::machineHostName();
    for (QChar &c : host) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') &&
            c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    const QString folder = cache + QStringLiteral("/zirvel/run-") + host;
    for (const QString &each : {cache, cache + QStringLiteral("/zirvel"), folder})
        ::mkdir(QFile::encodeName(each).constData(), 0700); // the last one is checked
    return folder;
}

/// Milliseconds on the monotonic clock, the same in every process of the
/// machine.
qint64 monotonicMs()
{
    // steady_clock reads CLOCK_MONOTONIC on Linux.
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

/// A request: the arguments, and the moment after which it is not to be
/// carried out.
QByteArray requestLine(const QStringList &arguments, qint64 deadline)
{
    const QJsonObject o{{QStringLiteral("args"), QJsonArray::fromStringList(arguments)},
                        {QStringLiteral("deadline"), double(deadline)}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

struct Request {
    QStringList arguments;
    std::optional<qint64> deadline; ///< none from a start of an older version
};

std::optional<Request> readRequest(const QByteArray &line)
{
    const QJsonDocument doc = QJsonDocument::fromJson(line);
    if (!doc.isObject()) {
        // An older start sends the arguments alone.
        if (const std::optional<QStringList> arguments = CommandLine::requestFromJson(line))
            return Request{*arguments, std::nullopt};
        return std::nullopt;
    }
    const QJsonValue args = doc.object().value(QStringLiteral("args"));
    const QJsonValue deadline = doc.object().value(QStringLiteral("deadline"));
    if (!args.isArray() || !deadline.isDouble())
        return std::nullopt;
    Request request{{}, qint64(deadline.toDouble())};
    for (const QJsonValue &v : args.toArray()) {
        if (!v.isString())
            return std::nullopt;
        request.arguments << v.toString();
    }
    return request;
}

/// Bytes of the request that the other side has not read yet.
int unread(const QLocalSocket &socket)
{
    int queued = 0;
    if (::ioctl(int(socket.socketDescriptor()), SIOCOUTQ, &queued) != 0)
        return 0;
    return queued + int(socket.bytesToWrite());
}

CommandLine::Reply notCarriedOut()
{
    return CommandLine::Reply::failure(
        CommandLine::Failure,
        QStringLiteral("zirvel：正在运行的时钟没有在 %1 秒内回答，命令没有执行")
            .arg(SingleInstance::AnswerTimeMs / 1000));
}

CommandLine::Reply outcomeUnknown()
{
    return CommandLine::Reply::failure(
        CommandLine::Failure,
        QStringLiteral("zirvel：正在运行的时钟接下了命令，却没有在 %1 秒内回答，"
                       "不知道命令是否已执行，请用 zirvel --status 查看")
            .arg((SingleInstance::AnswerTimeMs + SingleInstance::GraceMs) / 1000));
}

CommandLine::Reply tooBusy()
{
    return CommandLine::Reply::failure(
        CommandLine::Failure, QStringLiteral("zirvel：正在运行的时钟忙不过来，命令没有执行"));
}

/// Reads from `socket` until a line feed or `deadline`; true with a line.
bool readLine(QLocalSocket &socket, QByteArray &answer, qint64 deadline)
{
    while (!answer.contains('\n')) {
        answer += socket.readAll();
        if (answer.contains('\n'))
            break;
        const qint64 left = deadline - monotonicMs();
        if (left <= 0 || socket.state() != QLocalSocket::ConnectedState)
            return false;
        if (socket.bytesToWrite() > 0)
            socket.waitForBytesWritten(int(left));
        else
            socket.waitForReadyRead(int(left));
    }
    return true;
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
}

void SingleInstance::chooseFolder()
{
    QStringList refused;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    m_runtimeUnusable = runtime.isEmpty();
    // The temporary one and the cache one are made only when needed.
    std::vector<std::function<QString()>> folders;
    if (!runtime.isEmpty())
        folders.emplace_back([runtime] { return runtime; });
    folders.emplace_back(temporaryFolder);
    folders.emplace_back(cacheFolder);
    for (size_t i = 0; i < folders.size(); ++i) {
        const QString folder = folders[i]();
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
        if (i == 0 && !runtime.isEmpty())
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
    // Held only while its holder lives: a file left by a clock that crashed
    // (empty, old or holding anything) is taken at once.
    m_lock = std::make_unique<FileLock>(lockPath, std::chrono::milliseconds(500));
    if (m_lock->isLocked()) {
        listen();
        return true;
    }
    if (m_lock->state() == FileLock::State::Held)
        return false; // a clock is running
    m_lock.reset();
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
    const QString socket = m_base + QStringLiteral(".socket");
    m_socketPath = std::make_unique<SocketPath>(socket);
    m_server = new ChannelServer(this);
    m_server->setRefusal(tooBusy().toJson() + '\n');
    const QString problem = m_socketPath->name().isEmpty() ? m_socketPath->error()
                                                           : m_server->listen(m_socketPath->name());
    if (!problem.isEmpty()) {
        // Still the only instance; raising it and commands just won't work.
        m_warning = QStringLiteral("cannot listen on %1 (%2); a later start will not find this "
                                   "clock")
                        .arg(socket, problem);
        return;
    }
    // A later start writes its request as one line of JSON and reads one
    // line back. One that hangs up without a word (an older version) only
    // wants the clock in front.
    connect(m_server, &ChannelServer::connected, this, [this](QLocalSocket *client) {
        auto *buffer = new QByteArray;
        connect(client, &QObject::destroyed, this, [buffer] { delete buffer; });
        connect(client, &QLocalSocket::readyRead, client, [this, client, buffer] {
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
        connect(client, &QLocalSocket::disconnected, client, [this, client] {
            if (!client->property("answered").toBool() && !ChannelServer::expired(client))
                requestActivation();
            client->deleteLater();
        });
    });
}

// Bringing the clock to the front runs window code that may turn the event
// loop (and so delete the connection being served): it runs afterwards, once
// however many starts asked meanwhile.
void SingleInstance::requestActivation()
{
    if (m_activationQueued)
        return;
    m_activationQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_activationQueued = false;
            emit activationRequested();
        },
        Qt::QueuedConnection);
}

void SingleInstance::answer(QLocalSocket *client, const QByteArray &line)
{
    CommandLine::Reply reply;
    const std::optional<Request> request = readRequest(line);
    if (!request) {
        reply = CommandLine::Reply::failure(CommandLine::Usage,
                                            QStringLiteral("zirvel：正在运行的时钟看不懂这个请求"));
    } else if (request->deadline && monotonicMs() >= *request->deadline) {
        // Taken up too late: the start that sent it has said, or will say,
        // that it was not carried out.
        reply = notCarriedOut();
    } else if (request->arguments.isEmpty() || !m_handler) {
        requestActivation();
    } else {
        reply = m_handler(request->arguments);
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
    const qint64 deadline = monotonicMs() + waitMs;
    const SocketPath path(m_base + QStringLiteral(".socket"));
    if (path.name().isEmpty())
        return std::nullopt; // no clock can listen there either
    QLocalSocket socket;
    socket.connectToServer(QFile::decodeName(path.name()));
    if (!socket.waitForConnected(int(qMax<qint64>(0, deadline - monotonicMs())))) {
        // Nobody listening: no clock runs. Listening but not accepting: one
        // runs and is stuck, and has nothing of this command.
        if (socket.error() == QLocalSocket::ServerNotFoundError ||
            socket.error() == QLocalSocket::ConnectionRefusedError)
            return std::nullopt;
        return notCarriedOut();
    }
    socket.write(requestLine(arguments, deadline));
    QByteArray answer;
    if (!readLine(socket, answer, deadline)) {
        // Not read by the deadline: the clock will refuse it when it does.
        if (socket.state() == QLocalSocket::ConnectedState && unread(socket) > 0)
            return notCarriedOut();
        // Read in time, so perhaps being carried out: wait for the answer.
        if (!readLine(socket, answer, deadline + GraceMs))
            return outcomeUnknown();
    }
    const std::optional<CommandLine::Reply> reply =
        CommandLine::Reply::fromJson(answer.left(answer.indexOf('\n')));
    return reply ? *reply : outcomeUnknown();
}
