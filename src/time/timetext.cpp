#include "time/timetext.h"

#include <QRegularExpression>

namespace TimeText {

QString format(QTime time)
{
    return time.toString(QStringLiteral("H:mm:ss"));
}

std::optional<QTime> parse(const QString &text)
{
    static const QRegularExpression re(
        QRegularExpression::anchoredPattern(QStringLiteral("(\\d{1,2}):(\\d{2}):(\\d{2})")));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QTime t(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!t.isValid())
        return std::nullopt;
    return t;
}

QString clockText(QTime time)
{
    const int parts[3] = {time.hour(), time.minute(), time.second()};
    QString text(8, QLatin1Char(':'));
    for (int i = 0; i < 3; ++i) {
        text[i * 3] = QLatin1Char(char('0' + parts[i] / 10));
        text[i * 3 + 1] = QLatin1Char(char('0' + parts[i] % 10));
    }
    return text;
}

} // namespace TimeText
