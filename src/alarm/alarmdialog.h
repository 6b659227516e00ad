#pragma once

#include "ui/skinneddialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class TimeBoxes;
class UpDown;

/// The alarm settings dialog: an hour, a minute, a message and the alarm
/// switch. Load fills it from the store; OK and the close mark store and
/// close; Cancel closes without storing.
class AlarmDialog : public SkinnedDialog {
    Q_OBJECT
public:
    /// The window's object name, by which scripts and tests find it.
    static constexpr const char *WindowName = "frmSetTime";

    explicit AlarmDialog(WindowTable &table);

    /// The window, its chrome and its controls.
    static const QList<ControlRow> &design();

    void load() override;

protected:
    void closeClicked() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *txtHour = nullptr;
    QLineEdit *txtMinute = nullptr;
    QLineEdit *txtPrompt = nullptr;
    UpDown *UpDownHour = nullptr;
    UpDown *UpDownMinute = nullptr;
    QCheckBox *chkOpenTimer = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;

    void storeAndClose();

    TimeBoxes *m_time = nullptr;
};
