#include "options/optionsdialog.h"

#include "options/datetimesettings.h"
#include "platform/registry.h"
#include "platform/windowsystem.h"
#include "settings/featuresettings.h"
#include "ui/controltable.h"
#include "ui/windowtable.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>

const QString OptionsDialog::RunKey =
    QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString OptionsDialog::RunValueName = QStringLiteral("QarnexTime");

using Kind = ControlRow::Kind;

// In creation order: a later control is drawn in front of an earlier one,
// which puts chkAutoRun over Frame2.
const QList<ControlRow> &OptionsDialog::design()
{
    // clang-format off
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {0, 0, 484, 316},
         .caption = "闹钟",
         .picture = ":/skin-large.png",
         .icon = ":/dialog-icon.png",
         .centred = true},
        {.kind = Kind::Title, .name = "lblTitle", .rect = {80, 8, 313, 33}, .caption = "选项设置"},
        {.kind = Kind::CloseMark, .name = "lblClose", .rect = {464, 8, 17, 17}},
        {.kind = Kind::Frame, .name = "Frame1", .rect = {72, 80, 145, 89}, .caption = "闹钟设置", .tabIndex = 0},
        {.kind = Kind::CheckBox, .name = "chkIntTime", .container = "Frame1", .rect = {16, 24, 105, 17}, .caption = "整点报时", .tabIndex = 6},
        {.kind = Kind::CheckBox, .name = "chkYnAuotClose", .container = "Frame1", .rect = {16, 48, 97, 17}, .caption = "允许自动关机", .tabIndex = 7},
        {.kind = Kind::Frame, .name = "Frame2", .rect = {232, 80, 145, 89}, .caption = "显示设置", .tabIndex = 1},
        {.kind = Kind::CheckBox, .name = "chkTop", .container = "Frame2", .rect = {24, 24, 81, 25}, .caption = "最上层显示", .tabIndex = 2},
        {.kind = Kind::CheckBox, .name = "chkAutoRun", .rect = {256, 136, 97, 12}, .caption = "开机自动运行", .tabIndex = 5},
        // Neither button is the default or the cancel button.
        {.kind = Kind::PlainButton, .name = "cmdTime", .rect = {176, 192, 89, 25}, .caption = "设置时间(&T)", .tabIndex = 10},
        {.kind = Kind::PlainButton, .name = "cmdOk", .rect = {224, 272, 89, 25}, .caption = "确定(&O)", .tabIndex = 3},
        {.kind = Kind::PlainButton, .name = "cmdCancel", .rect = {344, 272, 89, 25}, .caption = "取消(&C)", .tabIndex = 4},
        // One etched separator above OK and Cancel: the white line just below
        // the dark one.
        {.kind = Kind::Line, .name = "Line1", .rect = {16, 263, 448, 1}, .minimum = 0, .color = Qt::black},
        {.kind = Kind::Line, .name = "Line2", .rect = {16, 264, 448, 1}, .minimum = 0, .color = Qt::white},
    };
    // clang-format on
    return table;
}

OptionsDialog::OptionsDialog(WindowTable &table) : SkinnedDialog(table, design())
{
    Frame1 = control<QGroupBox>(QStringLiteral("Frame1"));
    Frame2 = control<QGroupBox>(QStringLiteral("Frame2"));
    chkIntTime = control<QCheckBox>(QStringLiteral("chkIntTime"));
    chkYnAuotClose = control<QCheckBox>(QStringLiteral("chkYnAuotClose"));
    chkTop = control<QCheckBox>(QStringLiteral("chkTop"));
    chkAutoRun = control<QCheckBox>(QStringLiteral("chkAutoRun"));
    cmdTime = control<QPushButton>(QStringLiteral("cmdTime"));
    cmdOk = control<QPushButton>(QStringLiteral("cmdOk"));
    cmdCancel = control<QPushButton>(QStringLiteral("cmdCancel"));

    connect(chkTop, &QCheckBox::toggled, this, [this] { placeMainWindow(); });
    // Also runs when load() restores the box: a stored tick writes the entry again.
    connect(chkAutoRun, &QCheckBox::toggled, this, [this] { autoRunChanged(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { unload(); });
    connect(cmdTime, &QPushButton::clicked, this,
            [this] { OpenDateTimeSettings(*services().launcher, *services().messages); });
}

void OptionsDialog::load()
{
    // Only a stored 1 ticks a box; anything else shows it clear.
    chkYnAuotClose->setChecked(features().shutdown.state().on);
    chkIntTime->setChecked(features().chime.isOn());
    // The entry as it is, whatever the last OK saved: a tick undone by
    // 取消 leaves the entry in place, and the box says so.
    chkAutoRun->setChecked(services().registry->hasValue(RunKey, RunValueName));
    {
        // chkTop shows where the clock is, so OK with nothing touched leaves
        // it there. A clock that is not loaded comes back on top when it
        // loads. Restoring the box is not a click: it places nothing.
        const ManagedWindow *clock = table().loadedMainWindow();
        const QSignalBlocker quiet(chkTop);
        chkTop->setChecked(!clock || clock->isTopmost());
    }
    chkTop->setFocus();
}

void OptionsDialog::placeMainWindow()
{
    // Referring to the clock loads it if it was closed.
    if (ManagedWindow *clock = table().mainWindow())
        services().windows->setTopmost(clock, chkTop->isChecked());
}

void OptionsDialog::autoRunChanged()
{
    const QString program =
        chkAutoRun->isChecked() ? QCoreApplication::applicationFilePath() : QString();
    services().registry->writeStringValue(RunKey, RunValueName, program);
}

void OptionsDialog::saveSettings()
{
    features().options.save(chkIntTime->isChecked(), chkYnAuotClose->isChecked(),
                            chkAutoRun->isChecked());
}

void OptionsDialog::okClicked()
{
    placeMainWindow();
    saveSettings();
    // The screen-saver-running flag OK sets and clears has no counterpart here.
    unload();
}

void OptionsDialog::closeClicked()
{
    placeMainWindow();
    saveSettings();
    unload();
}
