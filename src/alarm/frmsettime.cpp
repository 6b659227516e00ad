#include "alarm/frmsettime.h"

#include "platform/messageboxes.h"
#include "platform/services.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "time/timetext.h"
#include "ui/controltable.h"
#include "ui/dialogchrometable.h"
#include "ui/fonts.h"
#include "ui/timeboxreaction.h"
#include "ui/updown.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

using Field = TimeEntry::Field;
using Kind = ControlRow::Kind;

namespace {

// In creation order; positions inside fraTime are relative to the frame.
const QList<ControlRow> &designTable()
{
    static const QList<ControlRow> table = {
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

} // namespace

frmSetTime::frmSetTime(WindowTable &table) : SkinnedDialog(table, dialogChrome(u"frmSetTime"))
{
    setFont(Fonts::song(9));
    const QHash<QString, QWidget *> controls = buildControls(this, designTable());
    txtHour = control<QLineEdit>(controls, QStringLiteral("txtHour"));
    txtMinute = control<QLineEdit>(controls, QStringLiteral("txtMinute"));
    txtPrompt = control<QLineEdit>(controls, QStringLiteral("txtPrompt"));
    UpDownHour = control<UpDown>(controls, QStringLiteral("UpDownHour"));
    UpDownMinute = control<UpDown>(controls, QStringLiteral("UpDownMinute"));
    chkOpenTimer = control<QCheckBox>(controls, QStringLiteral("chkOpenTimer"));
    cmdOk = control<QPushButton>(controls, QStringLiteral("cmdOk"));
    cmdCancel = control<QPushButton>(controls, QStringLiteral("cmdCancel"));

    connect(txtHour, &QLineEdit::textChanged, this, [this] { timeTextChanged(Field::Hour); });
    connect(txtMinute, &QLineEdit::textChanged, this, [this] { timeTextChanged(Field::Minute); });
    connect(UpDownHour, &UpDown::valueChanged, this,
            [this](int v) { txtHour->setText(QString::number(v)); });
    connect(UpDownMinute, &UpDown::valueChanged, this,
            [this](int v) { txtMinute->setText(QString::number(v)); });
    connect(cmdOk, &QPushButton::clicked, this, &frmSetTime::storeAndClose);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetTime::unload);
    for (QLineEdit *edit : {txtHour, txtMinute, txtPrompt})
        edit->installEventFilter(this);
}

void frmSetTime::load()
{
    // The alarm's own time, not whatever the shutdown dialog last left in the
    // shared hour and minute keys; those only keep how it was typed ("07").
    const TimeEntry::BoxTexts shown = TimeEntry::boxTexts(
        store().time(Keys::ITimer), store().text(Keys::Hour), store().text(Keys::Minute));
    txtHour->setText(shown.hour);
    txtMinute->setText(shown.minute);
    txtPrompt->setText(store().text(Keys::Prompt));
    chkOpenTimer->setChecked(store().alarmOn());
    cmdCancel->setFocus();
}

void frmSetTime::closeClicked()
{
    storeAndClose();
}

QLineEdit *frmSetTime::box(Field field) const
{
    return field == Field::Hour ? txtHour : txtMinute;
}

UpDown *frmSetTime::spinner(Field field) const
{
    return field == Field::Hour ? UpDownHour : UpDownMinute;
}

void frmSetTime::timeTextChanged(Field field)
{
    reactToTimeText(field, box(field), spinner(field), *services().messages);
}

void frmSetTime::storeAndClose()
{
    const QString hour = txtHour->text();
    const QString minute = txtMinute->text();
    if (!hour.isEmpty() || !minute.isEmpty()) {
        // Both boxes must hold a whole number in range: nothing is stored
        // otherwise, so the alarm time always reads back as a time.
        QLineEdit *offending = nullptr;
        if (!TimeEntry::wholeValue(Field::Hour, hour))
            offending = txtHour;
        else if (!TimeEntry::wholeValue(Field::Minute, minute))
            offending = txtMinute;
        if (offending) {
            services().messages->show(TimeEntry::invalidTimeMessage());
            offending->setFocus();
            return;
        }
        store().save(Keys::Hour, hour);
        store().save(Keys::Minute, minute);
        store().save(Keys::Prompt, txtPrompt->text());
        store().save(Keys::ITimer, TimeText::format(*TimeEntry::timeOfDay(hour, minute)));
    } else if (chkOpenTimer->isChecked()) {
        // An alarm switched on with no time would never ring.
        services().messages->show(TimeEntry::invalidTimeMessage());
        txtHour->setFocus();
        return;
    } else {
        store().save(Keys::ITimer, QString());
    }
    store().setAlarmOn(chkOpenTimer->isChecked());
    unload();
}

bool frmSetTime::eventFilter(QObject *watched, QEvent *event)
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
