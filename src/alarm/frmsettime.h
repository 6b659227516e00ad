#pragma once

#include "time/timeentry.h"
#include "ui/skinneddialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class UpDown;

/// The alarm settings dialog: an hour, a minute, a message and the alarm
/// switch. Load fills it from the store; OK and the close mark store and
/// close; Cancel closes without storing.
class frmSetTime : public SkinnedDialog {
    Q_OBJECT
public:
    explicit frmSetTime(WindowTable &table);

    void load() override;

    QLineEdit *txtHour = nullptr;
    QLineEdit *txtMinute = nullptr;
    QLineEdit *txtPrompt = nullptr;
    UpDown *UpDownHour = nullptr;
    UpDown *UpDownMinute = nullptr;
    QCheckBox *chkOpenTimer = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void closeClicked() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void storeAndClose();
    void timeTextChanged(TimeEntry::Field field);
    QLineEdit *box(TimeEntry::Field field) const;
    UpDown *spinner(TimeEntry::Field field) const;
};
