#include "ui/timeboxreaction.h"

#include "platform/messageboxes.h"
#include "ui/updown.h"

#include <QLineEdit>
#include <QSignalBlocker>

void reactToTimeText(TimeEntry::Field field, QLineEdit *edit, UpDown *spinner,
                     IMessageBoxes &messages)
{
    using Outcome = TimeEntry::ChangeCheck::Outcome;
    const TimeEntry::ChangeCheck check = TimeEntry::checkChange(field, edit->text());
    switch (check.outcome) {
    case Outcome::Nothing:
        break;
    case Outcome::NotANumber:
        messages.show(check.message);
        edit->clear();
        break;
    case Outcome::TooLarge:
        messages.show(check.message);
        edit->setFocus();
        edit->clear();
        break;
    case Outcome::SpinnerValue: {
        const QSignalBlocker keepText(spinner);
        spinner->setValue(check.value);
        break;
    }
    }
}
