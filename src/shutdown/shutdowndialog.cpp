#include "shutdown/shutdowndialog.h"

#include "platform/clock.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "settings/featuresettings.h"
#include "ui/controltable.h"
#include "ui/timeboxes.h"
#include "ui/updown.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

using Field = TimeEntry::Field;
using Kind = ControlRow::Kind;

// In creation order: the frames first, so the option buttons lie on their top
// edges. Positions inside a frame are relative to the frame.
const QList<ControlRow> &ShutdownDialog::design()
{
    // clang-format off
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {195, 165, 484, 316},
         .caption = "定时关机",
         .picture = ":/skin-large.png",
         .icon = ":/dialog-icon.png"},
        {.kind = Kind::Title, .name = "lblTitle", .rect = {80, 8, 313, 33}, .caption = "定时关机设置"},
        {.kind = Kind::CloseMark, .name = "lblClose", .rect = {464, 7, 17, 17}},
        {.kind = Kind::Frame, .name = "Frame", .rect = {16, 48, 329, 137}, .tabIndex = 8},
        {.kind = Kind::BorderLabel, .name = "Label1", .container = "Frame", .rect = {16, 24, 297, 97}, .tabIndex = 9},
        {.kind = Kind::TextBox, .name = "txtHour", .container = "Frame", .rect = {48, 48, 41, 25}, .tabIndex = 11},
        {.kind = Kind::UpDown, .name = "UpDownHour", .container = "Frame", .rect = {88, 48, 18, 25}, .tabIndex = 12, .minimum = 0, .maximum = 23},
        {.kind = Kind::Label, .name = "Label5", .container = "Frame", .rect = {120, 56, 12, 12}, .caption = "点", .tabIndex = 16},
        {.kind = Kind::TextBox, .name = "txtMinute", .container = "Frame", .rect = {160, 48, 41, 25}, .tabIndex = 10},
        {.kind = Kind::UpDown, .name = "UpDownMinute", .container = "Frame", .rect = {200, 48, 18, 25}, .tabIndex = 13, .minimum = 0, .maximum = 59},
        {.kind = Kind::Label, .name = "Label4", .container = "Frame", .rect = {232, 56, 54, 12}, .caption = "分将关机!", .tabIndex = 14},
        {.kind = Kind::CheckBox, .name = "chkCloseTime", .container = "Frame", .rect = {48, 88, 169, 25}, .caption = "每天这个时候关机", .tabIndex = 17},
        {.kind = Kind::Frame, .name = "FrameLg", .rect = {16, 192, 449, 89}, .tabIndex = 0},
        {.kind = Kind::Slider, .name = "SliderLg", .container = "FrameLg", .rect = {8, 32, 425, 33}, .tabIndex = 1, .minimum = 0, .maximum = 180},
        {.kind = Kind::Label, .name = "lblPrompt", .container = "FrameLg", .rect = {176, 72, 72, 12}, .caption = "单击“确定”", .tabIndex = 6},
        {.kind = Kind::BorderLabel, .name = "lblDispTime", .container = "FrameLg", .rect = {264, 64, 41, 17}, .tabIndex = 7},
        {.kind = Kind::Label, .name = "Label3", .container = "FrameLg", .rect = {320, 72, 114, 12}, .caption = "分钟后将关闭计算机!", .tabIndex = 5},
        {.kind = Kind::OptionButton, .name = "OptInTime", .rect = {40, 48, 145, 17}, .caption = "请输入要关机的时间：", .tabIndex = 15},
        {.kind = Kind::OptionButton, .name = "OptCountDownStart", .rect = {32, 192, 89, 25}, .caption = "倒计时开始:", .tabIndex = 4},
        {.kind = Kind::Button, .name = "cmdOk", .rect = {368, 64, 97, 25}, .caption = "确定(&O)", .tabIndex = 3},
        {.kind = Kind::Button, .name = "cmdCancel", .rect = {368, 96, 97, 25}, .caption = "取消(&C)", .tabIndex = 2},
        {.kind = Kind::Button, .name = "cmdHelp", .rect = {368, 136, 97, 25}, .caption = "帮助(&H)", .tabIndex = 18},
        {.kind = Kind::CheckBox, .name = "chkImedClose", .rect = {56, 288, 129, 17}, .caption = "不提示直接关机", .tabIndex = 19},
        {.kind = Kind::CheckBox, .name = "chkOpenClose", .rect = {240, 288, 129, 17}, .caption = "开启定时关机", .tabIndex = 20},
    };
    // clang-format on
    return table;
}

ShutdownDialog::ShutdownDialog(WindowTable &table) : SkinnedDialog(table, design())
{
    OptInTime = control<QRadioButton>(QStringLiteral("OptInTime"));
    OptCountDownStart = control<QRadioButton>(QStringLiteral("OptCountDownStart"));
    txtHour = control<QLineEdit>(QStringLiteral("txtHour"));
    txtMinute = control<QLineEdit>(QStringLiteral("txtMinute"));
    UpDownHour = control<UpDown>(QStringLiteral("UpDownHour"));
    UpDownMinute = control<UpDown>(QStringLiteral("UpDownMinute"));
    chkCloseTime = control<QCheckBox>(QStringLiteral("chkCloseTime"));
    SliderLg = control<QSlider>(QStringLiteral("SliderLg"));
    lblPrompt = control<QLabel>(QStringLiteral("lblPrompt"));
    lblDispTime = control<QLabel>(QStringLiteral("lblDispTime"));
    cmdOk = control<QPushButton>(QStringLiteral("cmdOk"));
    cmdCancel = control<QPushButton>(QStringLiteral("cmdCancel"));
    cmdHelp = control<QPushButton>(QStringLiteral("cmdHelp"));
    chkImedClose = control<QCheckBox>(QStringLiteral("chkImedClose"));
    chkOpenClose = control<QCheckBox>(QStringLiteral("chkOpenClose"));

    SliderLg->setSingleStep(1);
    SliderLg->setPageStep(5);

    connect(OptInTime, &QRadioButton::toggled, this, &ShutdownDialog::UpdateModeControls);
    m_time = new TimeBoxes(controls(), services(), this);
    connect(SliderLg, &QSlider::valueChanged, this,
            [this](int v) { lblDispTime->setText(QString::number(v)); });
    connect(cmdOk, &QPushButton::clicked, this, &ShutdownDialog::storeAndClose);
    connect(cmdCancel, &QPushButton::clicked, this, &ShutdownDialog::unload);
    connect(cmdHelp, &QPushButton::clicked, this, [this] {
        services().messages->showInformation(
            QStringLiteral(" 您可以选取其中的任一种方法设置关机的时间!"), QStringLiteral("帮助"));
    });
    txtHour->installEventFilter(this);
    txtMinute->installEventFilter(this);
    // Loaded but hidden, it shows the schedule as it is stored when it
    // appears, whoever changed it meanwhile.
    connect(&features().shutdown, &ShutdownSettings::changed, this, [this] {
        if (!isVisible())
            load();
    });
}

void ShutdownDialog::load()
{
    OptInTime->setChecked(true);
    UpdateModeControls();
    txtHour->clear();
    txtMinute->clear();
    const ShutdownSettings &shutdown = features().shutdown;
    const ShutdownSettings::State state = shutdown.state();
    chkCloseTime->setChecked(state.daily);
    chkImedClose->setChecked(state.noPrompt);
    chkOpenClose->setChecked(state.on);
    m_time->setTexts(shutdown.boxTexts());
    cmdCancel->setFocus();
}

void ShutdownDialog::UpdateModeControls()
{
    const bool timeOfDay = OptInTime->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{txtHour, txtMinute, UpDownHour, UpDownMinute,
                                                       chkCloseTime})
        w->setEnabled(timeOfDay);
    SliderLg->setEnabled(!timeOfDay);
    lblPrompt->setVisible(!timeOfDay);
    if (!timeOfDay)
        lblDispTime->setText(QString::number(SliderLg->value()));
}

bool ShutdownDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && (watched == txtHour || watched == txtMinute)) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        const QWidget *next = QApplication::focusWidget();
        // Checked only when the user moves on to another control of this
        // dialog that goes on with the time: not when the window is left, a
        // menu opens, the mode changes, or OK, Cancel or Help is chosen (OK
        // checks the time itself).
        const bool movesOn = reason != Qt::ActiveWindowFocusReason &&
                             reason != Qt::PopupFocusReason && next && next->window() == this &&
                             next != cmdOk && next != cmdCancel && next != cmdHelp &&
                             next != OptCountDownStart && !m_refocusing;
        if (movesOn) {
            const Field field = watched == txtHour ? Field::Hour : Field::Minute;
            QTimer::singleShot(0, this, [this, field] { boxLeft(field); });
        }
    }
    return SkinnedDialog::eventFilter(watched, event);
}

void ShutdownDialog::boxLeft(Field field)
{
    if (!OptInTime->isChecked())
        return;
    if (const std::optional<int> value = TimeEntry::leaveValue(field, m_time->box(field)->text())) {
        m_time->moveSpinner(field, *value);
        return;
    }
    services().messages->show(TimeEntry::invalidTimeMessage());
    m_refocusing = true;
    txtHour->setFocus();
    m_refocusing = false;
}

void ShutdownDialog::storeAndClose()
{
    if (OptInTime->isChecked()) {
        if (!storeTimeOfDay())
            return;
    } else {
        storeOneOff(ShutdownSettings::countdownEnd(services().clock->now(), SliderLg->value()));
    }
    unload();
}

bool ShutdownDialog::storeTimeOfDay()
{
    const QString hour = txtHour->text();
    const QString minute = txtMinute->text();
    if (hour.isEmpty() && minute.isEmpty()) {
        if (chkOpenClose->isChecked()) {
            // Switched on with no time, it would never shut down.
            services().messages->show(TimeEntry::invalidTimeMessage());
            m_refocusing = true;
            txtHour->setFocus();
            m_refocusing = false;
            return false;
        }
        features().shutdown.clearTime(chkImedClose->isChecked(), false);
        return true;
    }
    // Nothing is stored unless both boxes hold a whole number in range.
    if (QLineEdit *offending = m_time->invalidBox()) {
        services().messages->show(TimeEntry::invalidTimeMessage());
        m_refocusing = true;
        offending->setFocus();
        m_refocusing = false;
        return false;
    }
    if (chkCloseTime->isChecked()) {
        features().shutdown.setDaily({hour, minute}, chkImedClose->isChecked(),
                                     chkOpenClose->isChecked());
    } else {
        // Not daily: once, at the next time the clock shows it.
        const QTime time = *TimeEntry::timeOfDay(hour, minute);
        storeOneOff(ShutdownSettings::nextAt(services().clock->now(), time));
    }
    return true;
}

void ShutdownDialog::storeOneOff(const QDateTime &at)
{
    features().shutdown.setOnce(at, chkImedClose->isChecked(), chkOpenClose->isChecked());
}
