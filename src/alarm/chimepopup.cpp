#include "alarm/chimepopup.h"

using Kind = ControlRow::Kind;

const QList<ControlRow> &ChimePopup::design()
{
    // clang-format off
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {0, 0, 315, 174},
         .picture = ":/skin-small.png",
         .centred = true},
        {.kind = Kind::Title, .name = "lblTitle", .rect = {72, 8, 153, 33}, .caption = "整点报时"},
        {.kind = Kind::CloseMark, .name = "lblMin", .rect = {288, 0, 25, 25}},
        {.kind = Kind::Label, .name = "lblNowTime", .rect = {48, 80, 0, 0}, .caption = "现在时间："},
        {.kind = Kind::ShowBox, .name = "lblTime", .rect = {128, 72, 113, 25}},
        {.kind = Kind::Button, .name = "cmdOk", .rect = {104, 128, 89, 25}, .caption = "确 定(O)"},
    };
    // clang-format on
    return table;
}

ChimePopup::ChimePopup(WindowTable &table)
    : RingingPopup(table, design(), QStringLiteral("tolvek.wav"))
{
}
