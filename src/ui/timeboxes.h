#pragma once

#include "time/timeentry.h"

#include <QHash>
#include <QObject>

class QLineEdit;
class UpDown;
struct Services;

/// The hour and minute boxes with their spinners, as both time dialogs have
/// them (txtHour with UpDownHour, txtMinute with UpDownMinute): a spinner
/// step writes its number into the box; a changed text that is not a number
/// or too large is refused with its message, a valid one moves the spinner
/// while the box keeps the text as typed ("07").
class TimeBoxes : public QObject {
    Q_OBJECT
public:
    using Field = TimeEntry::Field;

    /// Wires the four controls of a built dialog.
    TimeBoxes(const QHash<QString, QWidget *> &controls, const Services &services, QObject *parent);

    QLineEdit *box(Field field) const { return field == Field::Hour ? m_hour : m_minute; }
    UpDown *spinner(Field field) const
    {
        return field == Field::Hour ? m_hourSpinner : m_minuteSpinner;
    }

    /// Shows the texts of a stored time.
    void setTexts(const TimeEntry::BoxTexts &texts);
    /// The first box whose text is not a whole number in its range; none
    /// when both may be stored.
    QLineEdit *invalidBox() const;
    /// The spinner takes `value`; the box keeps its text as typed.
    void moveSpinner(Field field, int value);

private:
    void textChanged(Field field);

    const Services &m_services;
    QLineEdit *m_hour = nullptr;
    QLineEdit *m_minute = nullptr;
    UpDown *m_hourSpinner = nullptr;
    UpDown *m_minuteSpinner = nullptr;
};
