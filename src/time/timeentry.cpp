#include "time/timeentry.h"

#include <QRegularExpression>

#include <cmath>

namespace TimeEntry {

namespace {

struct FieldTexts {
    int maximum;
    const char16_t *notANumber;
    const char16_t *tooLarge;
};

FieldTexts texts(Field field)
{
    if (field == Field::Hour)
        return {23, u"你的输入不合法,请输入(0-23)的数字!", u"请输入小于24的数!"};
    return {59, u"你的输入不合法,请输入(0-59)的数字!", u"请输入小于60的数!"};
}

} // namespace

QString invalidTimeMessage()
{
    return QStringLiteral("你的输入不正确，请输入时间!");
}

int maximum(Field field)
{
    return texts(field).maximum;
}

double leadingValue(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+))"));
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

std::optional<double> numberValue(const QString &text)
{
    static const QRegularExpression re(
        QRegularExpression::anchoredPattern(QStringLiteral("\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*")));
    if (!re.match(text).hasMatch())
        return std::nullopt;
    return text.trimmed().toDouble();
}

std::optional<int> wholeValue(Field field, const QString &text)
{
    // Anchored at the very end: "$" alone also matches before a final line break.
    static const QRegularExpression digits(
        QRegularExpression::anchoredPattern(QStringLiteral("\\d{1,9}")));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int value = text.toInt();
    if (value > maximum(field))
        return std::nullopt;
    return value;
}

ChangeCheck checkChange(Field field, const QString &text)
{
    const FieldTexts t = texts(field);
    ChangeCheck check;
    if (text.isEmpty())
        return check;
    if (text != QLatin1String("0") && leadingValue(text) == 0.0) {
        check.outcome = ChangeCheck::Outcome::NotANumber;
        check.message = QString::fromUtf16(t.notANumber);
        return check;
    }
    // The hour box refuses 24 or more, the minute box more than 59 (so 23.5
    // passes here and 59.5 does not; the later checks refuse fractions).
    const std::optional<double> number = numberValue(text);
    const bool tooLarge =
        number && (field == Field::Hour ? *number >= t.maximum + 1 : *number > t.maximum);
    if (tooLarge) {
        check.outcome = ChangeCheck::Outcome::TooLarge;
        check.message = QString::fromUtf16(t.tooLarge);
        return check;
    }
    if (const std::optional<int> value = wholeValue(field, text)) {
        check.outcome = ChangeCheck::Outcome::SpinnerValue;
        check.value = *value;
    }
    return check;
}

std::optional<int> leaveValue(Field field, const QString &text)
{
    const std::optional<double> number = numberValue(text);
    if (!number || std::abs(*number) > 1e9)
        return std::nullopt;
    const int value = int(std::lround(*number));
    if (value < 0 || value > maximum(field))
        return std::nullopt;
    return value;
}

std::optional<QTime> timeOfDay(const QString &hour, const QString &minute)
{
    const std::optional<int> h = wholeValue(Field::Hour, hour);
    const std::optional<int> m = wholeValue(Field::Minute, minute);
    if (!h || !m)
        return std::nullopt;
    return QTime(*h, *m, 0);
}

QString shownText(Field field, const QString &text, int value)
{
    // A box refuses "00" (it does not start with a number other than 0).
    const ChangeCheck check = checkChange(field, text);
    if (check.outcome == ChangeCheck::Outcome::SpinnerValue && check.value == value)
        return text;
    return QString::number(value);
}

BoxTexts boxTexts(std::optional<QTime> time, const QString &hour, const QString &minute)
{
    if (!time)
        return {};
    if (wholeValue(Field::Hour, hour) == time->hour() &&
        wholeValue(Field::Minute, minute) == time->minute())
        return {shownText(Field::Hour, hour, time->hour()),
                shownText(Field::Minute, minute, time->minute())};
    return {QString::number(time->hour()), QString::number(time->minute())};
}

QDateTime minutesLater(const QDateTime &now, int minutes)
{
    const QDateTime end = now.addSecs(qint64(minutes) * 60);
    const int msec = end.time().msec();
    return msec == 0 ? end : end.addMSecs(1000 - msec);
}

QDate dayOfNext(const QDateTime &now, QTime time)
{
    return time > now.time() ? now.date() : now.date().addDays(1);
}

} // namespace TimeEntry
