#include "app/displaytag.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHostAddress>
#include <QSysInfo>

#include <optional>

namespace {

constexpr int MaxTagLength = 64;

/// Letters, digits, "." and "-" as they are, anything else "_". A text too
/// long for a tag keeps its start and a digest of the whole, so that two long
/// names never share a tag.
QString fileNameSafe(const QString &text)
{
    QString safe;
    for (QChar c : text) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('.') || c == QLatin1Char('-');
        safe += plain ? c : QLatin1Char('_');
    }
    if (safe.size() <= MaxTagLength)
        return safe;
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
    return safe.left(MaxTagLength - digest.size() - 1) + QLatin1Char('_') + digest;
}

/// A display or screen number: one to nine decimal digits, nothing else.
std::optional<int> digits(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    return text.toInt();
}

/// "display[.screen]": the display number.
std::optional<int> displayNumber(const QByteArray &text)
{
    const qsizetype dot = text.indexOf('.');
    if (dot >= 0 && !digits(text.mid(dot + 1)))
        return std::nullopt;
    return digits(dot >= 0 ? text.left(dot) : text);
}

bool isLocalHost(const QString &host, const QString &thisHost)
{
    if (host.isEmpty() || host.compare(QLatin1String("unix"), Qt::CaseInsensitive) == 0 ||
        host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    if (!thisHost.isEmpty() && host.compare(thisHost, Qt::CaseInsensitive) == 0)
        return true;
    return QHostAddress(host).isLoopback();
}

/// "/path/to/socket[.screen]": the server's socket itself. The X server's own
/// socket for display N is the one ":N" reaches too.
QString socketTag(QByteArray path)
{
    const qsizetype dot = path.lastIndexOf('.');
    if (dot > path.lastIndexOf('/') && digits(path.mid(dot + 1)))
        path.truncate(dot);
    const QString clean = QDir::cleanPath(QString::fromLocal8Bit(path));
    const QString serverSockets = QStringLiteral("/tmp/.X11-unix/X");
    if (clean.startsWith(serverSockets)) {
        if (const auto number = digits(clean.mid(serverSockets.size()).toLatin1()))
            return QString::number(*number);
    }
    return fileNameSafe(QStringLiteral("socket") + clean);
}

} // namespace

QString displayTag(const QByteArray &display)
{
    return displayTag(display, QSysInfo::machineHostName());
}

QString displayTag(const QByteArray &display, const QString &thisHost)
{
    if (display.isEmpty())
        return QStringLiteral("none");
    if (display.startsWith('/'))
        return socketTag(display);
    if (display.startsWith("unix:/"))
        return socketTag(display.mid(5));

    // [protocol/][host]:display[.screen]; the host may be an IPv6 address,
    // bare or in brackets, so the display number follows the last colon.
    QByteArray rest = display;
    QByteArray protocol;
    const qsizetype slash = rest.lastIndexOf('/');
    if (slash >= 0) {
        protocol = rest.left(slash);
        rest = rest.mid(slash + 1);
    }
    const qsizetype colon = rest.lastIndexOf(':');
    const std::optional<int> number =
        colon >= 0 ? displayNumber(rest.mid(colon + 1)) : std::nullopt;
    if (!number)
        return fileNameSafe(QStringLiteral("other_") + QString::fromLocal8Bit(display));

    QString host = QString::fromLocal8Bit(rest.left(colon));
    if (host.size() >= 2 && host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    // The unix protocol is the local socket, whatever host is named.
    if (protocol == "unix" || isLocalHost(host, thisHost))
        return QString::number(*number);
    return fileNameSafe(host + QLatin1Char('_') + QString::number(*number));
}
