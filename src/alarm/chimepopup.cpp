#include "alarm/chimepopup.h"

using Kind = ControlRow::Kind;

const QList<ControlRow> &ChimePopup::design()
{
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {0, 0, 315, 174},
         .picture = ":/skin-small.png",
         .centred = true},
        {Kind::Title, "lblTitle", {}, {72, 8, 153, 33}, "整点报时"},
        {Kind::CloseMark, "lblMin", {}, {288, 0, 25, 25}},
        {Kind::Label, "lblNowTime", {}, {48, 80, 0, 0}, "现在时间："},
        {Kind::ShowBox, "lblTime", {}, {128, 72, 113, 25}},
        {Kind::Button, "cmdOk", {}, {104, 128, 89, 25}, "确 定(O)"},
    };
    return table;
}

ChimePopup::ChimePopup(WindowTable &table)
    : RingingPopup(table, design(), QStringLiteral("tolvek.wav"))
{
}
