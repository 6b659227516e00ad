#pragma once

#include "time/timeentry.h"
#include "ui/skinneddialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class TimeBoxes;
class UpDown;

/// The shutdown settings dialog: a time of day or a countdown, and the three
/// switches. OK turns the choice into one stored time of day; Cancel and the
/// close mark store nothing.
class ShutdownDialog : public SkinnedDialog {
    Q_OBJECT
public:
    /// The window's object name, by which scripts and tests find it.
    static constexpr const char *WindowName = "frmCloseWindows";

    explicit ShutdownDialog(WindowTable &table);

    /// The window, its chrome and its controls.
    static const QList<ControlRow> &design();

    void load() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QRadioButton *OptInTime = nullptr;
    QRadioButton *OptCountDownStart = nullptr;
    QLineEdit *txtHour = nullptr;
    QLineEdit *txtMinute = nullptr;
    UpDown *UpDownHour = nullptr;
    UpDown *UpDownMinute = nullptr;
    QCheckBox *chkCloseTime = nullptr;
    QSlider *SliderLg = nullptr;
    QLabel *lblPrompt = nullptr;
    QLabel *lblDispTime = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdHelp = nullptr;
    QCheckBox *chkImedClose = nullptr;
    QCheckBox *chkOpenClose = nullptr;

    void UpdateModeControls();
    void boxLeft(TimeEntry::Field field);
    void storeAndClose();
    bool storeTimeOfDay();
    /// A shutdown that is not daily: its time and the day it is for.
    void storeOneOff(const QDateTime &at);

    TimeBoxes *m_time = nullptr;
    bool m_refocusing = false;
};
