#include "alarm/alarmdialog.h"

#include "platform/messageboxes.h"
#include "platform/services.h"
#include "settings/featuresettings.h"
#include "ui/controltable.h"
#include "ui/timeboxes.h"
#include "ui/updown.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using Field = TimeEntry::Field;
using Kind = ControlRow::Kind;

// In creation order; positions inside fraTime are relative to the frame.
const QList<ControlRow> &AlarmDialog::design()
{
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {0, 0, 485, 316},
         .caption = "闹钟",
         .picture = ":/skin-large.png",
         .icon = ":/dialog-icon.png",
         .centred = true},
        {Kind::Title, "lblTitle", {}, {80, 8, 313, 33}, "定时器设置"},
        {Kind::CloseMark, "lblClose", {}, {464, 8, 17, 17}},
        {Kind::Frame, "fraTime", {}, {32, 64, 409, 161}, "设置时间", 2},
        {Kind::Label, "Label2", "fraTime", {56, 48, 41, 17}, "时：", 10},
        {Kind::TextBox, "txtHour", "fraTime", {96, 40, 41, 25}, {}, 5},
        {Kind::UpDown, "UpDownHour", "fraTime", {136, 40, 18, 25}, {}, 6, 0, 23},
        {Kind::Label, "Label4", "fraTime", {192, 48, 25, 17}, "分：", 9},
        {Kind::TextBox, "txtMinute", "fraTime", {216, 40, 41, 25}, {}, 4},
        {Kind::UpDown, "UpDownMinute", "fraTime", {256, 40, 18, 25}, {}, 7, 0, 59},
        {Kind::Label, "Label3", "fraTime", {40, 96, 54, 12}, "提示信息:", 8},
        {Kind::TextBox, "txtPrompt", "fraTime", {96, 96, 249, 41}, {}, 3},
        {Kind::CheckBox, "chkOpenTimer", {}, {72, 245, 97, 12}, "开启闹钟", 11},
        // An etched separator: the white line just below the black one.
        {Kind::Line, "Line1", {}, {24, 264, 440, 1}, {}, -1, 0, 0, Qt::black},
        {Kind::Line, "Line2", {}, {24, 265, 440, 1}, {}, -1, 0, 0, Qt::white},
        {Kind::Button, "cmdOk", {}, {200, 272, 97, 25}, "确定(&O)", 1},
        {Kind::Button, "cmdCancel", {}, {312, 272, 89, 25}, "取消(&C)", 0},
    };
    return table;
}

AlarmDialog::AlarmDialog(WindowTable &table) : SkinnedDialog(table, design())
{
    m_time = new TimeBoxes(controls(), services(), this);
    txtHour = m_time->box(Field::Hour);
    txtMinute = m_time->box(Field::Minute);
    UpDownHour = m_time->spinner(Field::Hour);
    UpDownMinute = m_time->spinner(Field::Minute);
    txtPrompt = control<QLineEdit>(QStringLiteral("txtPrompt"));
    chkOpenTimer = control<QCheckBox>(QStringLiteral("chkOpenTimer"));
    cmdOk = control<QPushButton>(QStringLiteral("cmdOk"));
    cmdCancel = control<QPushButton>(QStringLiteral("cmdCancel"));

    connect(cmdOk, &QPushButton::clicked, this, &AlarmDialog::storeAndClose);
    connect(cmdCancel, &QPushButton::clicked, this, &AlarmDialog::unload);
    for (QLineEdit *edit : {txtHour, txtMinute, txtPrompt})
        edit->installEventFilter(this);
    // Loaded but hidden, it shows the alarm as it is stored when it appears,
    // whoever changed it meanwhile (the command line, another window).
    connect(&features().alarm, &AlarmSettings::changed, this, [this] {
        if (!isVisible())
            load();
    });
}

void AlarmDialog::load()
{
    const AlarmSettings &alarm = features().alarm;
    const AlarmSettings::State state = alarm.state();
    m_time->setTexts(alarm.boxTexts());
    txtPrompt->setText(state.message);
    chkOpenTimer->setChecked(state.on);
    cmdCancel->setFocus();
}

void AlarmDialog::closeClicked()
{
    storeAndClose();
}

void AlarmDialog::storeAndClose()
{
    const QString hour = txtHour->text();
    const QString minute = txtMinute->text();
    if (!hour.isEmpty() || !minute.isEmpty()) {
        // Both boxes must hold a whole number in range: nothing is stored
        // otherwise, so the alarm time always reads back as a time.
        if (QLineEdit *offending = m_time->invalidBox()) {
            services().messages->show(TimeEntry::invalidTimeMessage());
            offending->setFocus();
            return;
        }
        features().alarm.set({hour, minute}, txtPrompt->text(), chkOpenTimer->isChecked());
    } else if (chkOpenTimer->isChecked()) {
        // An alarm switched on with no time would never ring.
        services().messages->show(TimeEntry::invalidTimeMessage());
        txtHour->setFocus();
        return;
    } else {
        features().alarm.clearTime(false);
    }
    unload();
}

bool AlarmDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        (watched == txtHour || watched == txtMinute || watched == txtPrompt)) {
        const int k = static_cast<QKeyEvent *>(event)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            // Like a Tab typed after the Enter: the box still sees the Enter.
            QTimer::singleShot(0, this, [this] { focusNextChild(); });
        }
    }
    return SkinnedDialog::eventFilter(watched, event);
}
