#include "alarm/alarmpopup.h"

#include "settings/featuresettings.h"
#include "ui/wrappinglabel.h"

using Kind = ControlRow::Kind;

const QList<ControlRow> &AlarmPopup::design()
{
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {0, 0, 339, 221},
         .picture = ":/skin-medium.png",
         .centred = true},
        {Kind::Title, "lblTitle", {}, {72, 8, 177, 33}, "闹钟"},
        {Kind::CloseMark, "lblMin", {}, {312, 0, 25, 25}},
        {Kind::Label, "lblNowTime", {}, {48, 64, 0, 0}, "现在时间："},
        {Kind::ShowBox, "lblTime", {}, {120, 64, 113, 25}},
        {Kind::Button, "cmdOk", {}, {120, 184, 89, 25}, "确 定(&O)"},
        {Kind::Label, "lblPrompt", {}, {48, 96, 0, 0}, "提示信息："},
        // The message wraps inside the box; what does not fit is not shown.
        {Kind::WrappingShowBox, "lblPromptMsg", {}, {32, 120, 273, 49}},
    };
    return table;
}

AlarmPopup::AlarmPopup(WindowTable &table)
    : RingingPopup(table, design(), QStringLiteral("ohmy.wav")),
      lblPromptMsg(control<WrappingLabel>(QStringLiteral("lblPromptMsg")))
{
}

void AlarmPopup::loadMessage()
{
    lblPromptMsg->setText(features().alarm.state().message);
}
