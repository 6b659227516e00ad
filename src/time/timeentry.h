#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

/// The rules of the hour and minute boxes that the alarm and the shutdown
/// dialogs share: what a change of the text means, the messages, and which
/// texts make a time that may be stored.
namespace TimeEntry {

enum class Field { Hour, Minute };

/// "你的输入不正确，请输入时间!": the one message for a time that cannot be used.
QString invalidTimeMessage();

/// The largest value of the field's spinner (23 or 59).
int maximum(Field field);

/// The number a text starts with, blanks skipped: "12ab" gives 12, "-3" gives
/// -3, "1.5" gives 1.5; 0 when the text does not start with a number ("abc",
/// "-", "").
double leadingValue(const QString &text);

/// The value of a text that is a number as a whole (blanks around it allowed),
/// e.g. "7", " 24", "-3", "1.5"; nothing for "1a" or "".
std::optional<double> numberValue(const QString &text);

/// The value of a text made of digits only whose value lies within the
/// field's range ("7", "07", "23"); nothing otherwise. Only such texts (or
/// the empty text) are ever stored in `hour` and `minute`.
std::optional<int> wholeValue(Field field, const QString &text);

/// What a change of a box's text asks for.
struct ChangeCheck {
    enum class Outcome {
        Nothing,      ///< empty text, or text left as typed for the later checks
        NotANumber,   ///< show the message, then empty the box
        TooLarge,     ///< show the message, put the focus into the box, empty it
        SpinnerValue, ///< the spinner takes `value`
    };
    Outcome outcome = Outcome::Nothing;
    int value = 0;
    QString message;
};

/// The check run on every change of an hour or minute box.
ChangeCheck checkChange(Field field, const QString &text);

/// The check run when a box loses the focus: the text as a whole number
/// (fractions rounded to the nearest), or nothing when it is not a number or
/// lies outside the spinner's range.
std::optional<int> leaveValue(Field field, const QString &text);

/// The time of day of an hour and a minute box, both valid; seconds 0.
std::optional<QTime> timeOfDay(const QString &hour, const QString &minute);

/// `text` (whose value is `value`) as a box shows it without a complaint:
/// as it stands when the box takes it ("07"), else the plain number ("00"
/// becomes "0").
QString shownText(Field field, const QString &text, int value);

/// The texts the hour and minute boxes show for a stored time of day: the
/// stored `hour` and `minute` texts when they are that time as typed ("07"),
/// as shownText() gives them, else the time's own numbers ("7", "5"); empty
/// texts when there is no time.
struct BoxTexts {
    QString hour;
    QString minute;
};
BoxTexts boxTexts(std::optional<QTime> time, const QString &hour, const QString &minute);

/// `minutes` after `now`, at the first whole second not before that moment
/// (the scheduler looks at whole seconds): 0 minutes is now, never tomorrow.
QDateTime minutesLater(const QDateTime &now, int minutes);

/// The day a time of day that is not daily is for: today while that time is
/// still ahead, else tomorrow.
QDate dayOfNext(const QDateTime &now, QTime time);

} // namespace TimeEntry
