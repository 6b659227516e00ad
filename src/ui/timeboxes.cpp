#include "ui/timeboxes.h"

#include "platform/messageboxes.h"
#include "platform/services.h"
#include "ui/controltable.h"
#include "ui/updown.h"

#include <QLineEdit>
#include <QSignalBlocker>

TimeBoxes::TimeBoxes(const QHash<QString, QWidget *> &controls, const Services &services,
                     QObject *parent)
    : QObject(parent), m_services(services),
      m_hour(control<QLineEdit>(controls, QStringLiteral("txtHour"))),
      m_minute(control<QLineEdit>(controls, QStringLiteral("txtMinute"))),
      m_hourSpinner(control<UpDown>(controls, QStringLiteral("UpDownHour"))),
      m_minuteSpinner(control<UpDown>(controls, QStringLiteral("UpDownMinute")))
{
    for (const Field field : {Field::Hour, Field::Minute}) {
        QLineEdit *edit = box(field);
        connect(edit, &QLineEdit::textChanged, this, [this, field] { textChanged(field); });
        connect(spinner(field), &UpDown::valueChanged, edit,
                [edit](int v) { edit->setText(QString::number(v)); });
    }
}

void TimeBoxes::setTexts(const TimeEntry::BoxTexts &texts)
{
    m_hour->setText(texts.hour);
    m_minute->setText(texts.minute);
}

QLineEdit *TimeBoxes::invalidBox() const
{
    for (const Field field : {Field::Hour, Field::Minute}) {
        if (!TimeEntry::wholeValue(field, box(field)->text()))
            return box(field);
    }
    return nullptr;
}

void TimeBoxes::moveSpinner(Field field, int value)
{
    const QSignalBlocker keepText(spinner(field));
    spinner(field)->setValue(value);
}

void TimeBoxes::textChanged(Field field)
{
    using Outcome = TimeEntry::ChangeCheck::Outcome;
    QLineEdit *edit = box(field);
    const TimeEntry::ChangeCheck check = TimeEntry::checkChange(field, edit->text());
    switch (check.outcome) {
    case Outcome::Nothing:
        break;
    case Outcome::NotANumber:
        m_services.messages->show(check.message);
        edit->clear();
        break;
    case Outcome::TooLarge:
        m_services.messages->show(check.message);
        edit->setFocus();
        edit->clear();
        break;
    case Outcome::SpinnerValue:
        moveSpinner(field, check.value);
        break;
    }
}
