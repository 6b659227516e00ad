#include "app/displaytag.h"

#include <QStringList>
#include <QSysInfo>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

bool isLocalHost(const QString &host)
{
    static const QStringList local = {QString(),
                                      QStringLiteral("unix"),
                                      QStringLiteral("localhost"),
                                      QStringLiteral("127.0.0.1"),
                                      QStringLiteral("::1"),
                                      QStringLiteral("[::1]")};
    return local.contains(host, Qt::CaseInsensitive) ||
           host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

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
    return safe.left(64);
}

} // namespace

QString displayTag(const QByteArray &display)
{
    if (display.isEmpty())
        return QStringLiteral("none");
    // libxcb's own reading of DISPLAY ([protocol/][host]:display[.screen]),
    // so the tag follows exactly what the connection will use.
    char *rawHost = nullptr;
    int number = 0;
    int screen = 0;
    if (!xcb_parse_display(display.constData(), &rawHost, &number, &screen))
        return QStringLiteral("other_") + fileNameSafe(QString::fromLocal8Bit(display));
    const std::unique_ptr<char, decltype(&std::free)> hostOwner(rawHost, &std::free);
    const QString host = QString::fromLocal8Bit(rawHost);
    const QString tag = QString::number(number);
    return isLocalHost(host) ? tag : fileNameSafe(host) + QLatin1Char('_') + tag;
}
