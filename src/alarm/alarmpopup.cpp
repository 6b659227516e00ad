#include "alarm/alarmpopup.h"

#include "settings/featuresettings.h"
#include "ui/wrappinglabel.h"

using Kind = ControlRow::Kind;

const QList<ControlRow> &AlarmPopup::design()
{
    // clang-format off
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {0, 0, 339, 221},
         .picture = ":/skin-medium.png",
         .centred = true},
        {.kind = Kind::Title, .name = "lblTitle", .rect = {72, 8, 177, 33}, .caption = "闹钟"},
        {.kind = Kind::CloseMark, .name = "lblMin", .rect = {312, 0, 25, 25}},
        {.kind = Kind::Label, .name = "lblNowTime", .rect = {48, 64, 0, 0}, .caption = "现在时间："},
        {.kind = Kind::ShowBox, .name = "lblTime", .rect = {120, 64, 113, 25}},
        {.kind = Kind::Button, .name = "cmdOk", .rect = {120, 184, 89, 25}, .caption = "确 定(&O)"},
        {.kind = Kind::Label, .name = "lblPrompt", .rect = {48, 96, 0, 0}, .caption = "提示信息："},
        // The message wraps inside the box; what does not fit is not shown.
        {.kind = Kind::WrappingShowBox, .name = "lblPromptMsg", .rect = {32, 120, 273, 49}},
    };
    // clang-format on
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
