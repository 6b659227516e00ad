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
    // clang-format off
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {0, 0, 485, 316},
         .caption = "闹钟",
         .picture = ":/skin-large.png",
         .icon = ":/dialog-icon.png",
         .centred = true},
        {.kind = Kind::Title, .name = "lblTitle", .rect = {80, 8, 313, 33}, .caption = "定时器设置"},
        {.kind = Kind::CloseMark, .name = "lblClose", .rect = {464, 8, 17, 17}},
        {.kind = Kind::Frame, .name = "fraTime", .rect = {32, 64, 409, 161}, .caption = "设置时间", .tabIndex = 2},
        {.kind = Kind::Label, .name = "Label2", .container = "fraTime", .rect = {56, 48, 41, 17}, .caption = "时：", .tabIndex = 10},
        {.kind = Kind::TextBox, .name = "txtHour", .container = "fraTime", .rect = {96, 40, 41, 25}, .tabIndex = 5},
        {.kind = Kind::UpDown, .name = "UpDownHour", .container = "fraTime", .rect = {136, 40, 18, 25}, .tabIndex = 6, .minimum = 0, .maximum = 23},
        {.kind = Kind::Label, .name = "Label4", .container = "fraTime", .rect = {192, 48, 25, 17}, .caption = "分：", .tabIndex = 9},
        {.kind = Kind::TextBox, .name = "txtMinute", .container = "fraTime", .rect = {216, 40, 41, 25}, .tabIndex = 4},
        {.kind = Kind::UpDown, .name = "UpDownMinute", .container = "fraTime", .rect = {256, 40, 18, 25}, .tabIndex = 7, .minimum = 0, .maximum = 59},
        {.kind = Kind::Label, .name = "Label3", .container = "fraTime", .rect = {40, 96, 54, 12}, .caption = "提示信息:", .tabIndex = 8},
        {.kind = Kind::TextBox, .name = "txtPrompt", .container = "fraTime", .rect = {96, 96, 249, 41}, .tabIndex = 3},
        {.kind = Kind::CheckBox, .name = "chkOpenTimer", .rect = {72, 245, 97, 12}, .caption = "开启闹钟", .tabIndex = 11},
        // An etched separator: the white line just below the black one.
        {.kind = Kind::Line, .name = "Line1", .rect = {24, 264, 440, 1}, .minimum = 0, .color = Qt::black},
        {.kind = Kind::Line, .name = "Line2", .rect = {24, 265, 440, 1}, .minimum = 0, .color = Qt::white},
        {.kind = Kind::Button, .name = "cmdOk", .rect = {200, 272, 97, 25}, .caption = "确定(&O)", .tabIndex = 1},
        {.kind = Kind::Button, .name = "cmdCancel", .rect = {312, 272, 89, 25}, .caption = "取消(&C)", .tabIndex = 0},
    };
    // clang-format on
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
