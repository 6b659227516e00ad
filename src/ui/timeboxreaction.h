#pragma once

#include "time/timeentry.h"

class IMessageBoxes;
class QLineEdit;
class UpDown;

/// What an hour or minute box does when its text changes, in both time
/// dialogs: a text that is not a number or too large is refused with its
/// message; a valid one moves the spinner, while the box keeps the text as
/// typed ("07").
void reactToTimeText(TimeEntry::Field field, QLineEdit *edit, UpDown *spinner,
                     IMessageBoxes &messages);
