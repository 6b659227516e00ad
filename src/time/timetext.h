#pragma once

#include <QString>
#include <QTime>

#include <optional>

/// Time-of-day texts as stored in the settings: "H:mm:ss" (7:05:00). Readers
/// also accept a leading zero on the hour (07:05:00).
namespace TimeText {

QString format(QTime time);
/// The time of day of a stored text, or nothing when the text is empty or
/// not a time.
std::optional<QTime> parse(const QString &text);

/// The clock strip's text, "hh:mm:ss" (07:05:09), built without the
/// locale machinery: it is made once a second.
QString clockText(QTime time);

} // namespace TimeText
