// Any text in the time fields and the stored time texts: the parsers agree
// with each other, stay in range, and what is formatted reads back.

#include "time/timetext.h"
#include "fuzzcheck.h"
#include "time/timeentry.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdint>

namespace {

using TimeEntry::Field;

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

void checkField(Field field, const QString &text)
{
    const int max = TimeEntry::maximum(field);
    const double leading = TimeEntry::leadingValue(text);
    FUZZ_CHECK(!std::isnan(leading));
    const std::optional<double> number = TimeEntry::numberValue(text);
    if (number)
        FUZZ_CHECK(*number == leading || (std::isinf(*number) && std::isinf(leading)));

    const std::optional<int> whole = TimeEntry::wholeValue(field, text);
    if (whole) {
        FUZZ_CHECK(*whole >= 0 && *whole <= max);
        FUZZ_CHECK(allDigits(text));
        FUZZ_CHECK(number && *number == *whole);
    }

    const TimeEntry::ChangeCheck change = TimeEntry::checkChange(field, text);
    using Outcome = TimeEntry::ChangeCheck::Outcome;
    if (change.outcome == Outcome::SpinnerValue)
        FUZZ_CHECK(change.value >= 0 && change.value <= max);
    if (change.outcome == Outcome::NotANumber || change.outcome == Outcome::TooLarge)
        FUZZ_CHECK(!change.message.isEmpty());
    if (text.isEmpty())
        FUZZ_CHECK(change.outcome == Outcome::Nothing);

    if (const std::optional<int> left = TimeEntry::leaveValue(field, text))
        FUZZ_CHECK(*left >= 0 && *left <= max);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);

    // A stored time text.
    if (const std::optional<QTime> t = TimeText::parse(text)) {
        FUZZ_CHECK(t->isValid() && t->msec() == 0);
        const QString formatted = TimeText::format(*t);
        static const QRegularExpression shape(QStringLiteral("^\\d{1,2}:\\d\\d:\\d\\d$"));
        FUZZ_CHECK(shape.match(formatted).hasMatch());
        FUZZ_CHECK(TimeText::parse(formatted) == t);
        // What was read is what the text says: the same digits, at most with
        // a leading zero on the hour.
        const QString trimmed = text.trimmed();
        FUZZ_CHECK(trimmed == formatted || trimmed == QLatin1Char('0') + formatted);
    }

    // The hour and minute boxes, and both together split at the first "|".
    checkField(Field::Hour, text);
    checkField(Field::Minute, text);
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    const QString hour = bar < 0 ? text : text.left(bar);
    const QString minute = bar < 0 ? QString() : text.mid(bar + 1);
    const std::optional<QTime> time = TimeEntry::timeOfDay(hour, minute);
    const bool bothValid = TimeEntry::wholeValue(Field::Hour, hour).has_value() &&
                           TimeEntry::wholeValue(Field::Minute, minute).has_value();
    FUZZ_CHECK(time.has_value() == bothValid);
    if (time) {
        FUZZ_CHECK(time->hour() == *TimeEntry::wholeValue(Field::Hour, hour));
        FUZZ_CHECK(time->minute() == *TimeEntry::wholeValue(Field::Minute, minute));
        FUZZ_CHECK(time->second() == 0);
        FUZZ_CHECK(TimeText::parse(TimeText::format(*time)) == time);
    }

    // The boxes showing a stored time: the stored texts when they are that
    // time, else its numbers; nothing without a time.
    const TimeEntry::BoxTexts shown = TimeEntry::boxTexts(time, hour, minute);
    if (!time) {
        FUZZ_CHECK(shown.hour.isEmpty() && shown.minute.isEmpty());
    } else {
        FUZZ_CHECK(TimeEntry::timeOfDay(shown.hour, shown.minute) == time);
    }

    // A countdown from any moment of a day (to the millisecond), for any
    // allowed length: it ends that many minutes later, on the next whole second.
    if (size >= 5) {
        const int msecs =
            int((data[0] | data[1] << 8 | data[2] << 16 | (data[3] & 0x07) << 24) % 86400000);
        const int minutes = data[4] % 181;
        const QDateTime now(QDate(2026, 3, 2), QTime(0, 0).addMSecs(msecs));
        const QDateTime end = TimeEntry::minutesLater(now, minutes);
        const qint64 late = now.msecsTo(end) - qint64(minutes) * 60000;
        FUZZ_CHECK(end.isValid() && end.time().msec() == 0);
        FUZZ_CHECK(late >= 0 && late < 1000);
        FUZZ_CHECK(TimeText::parse(TimeText::format(end.time())) == end.time());
        const QDate day = TimeEntry::dayOfNext(now, end.time());
        FUZZ_CHECK(day == now.date() || day == now.date().addDays(1));
        FUZZ_CHECK(QDateTime(day, end.time()) > now);
    }
    return 0;
}
