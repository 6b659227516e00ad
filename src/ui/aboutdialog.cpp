#include "ui/aboutdialog.h"

#include "ui/controltable.h"
#include "ui/fonts.h"

using Kind = ControlRow::Kind;

const QList<ControlRow> &AboutDialog::design()
{
    static const QColor yellow(255, 255, 0);
    static const QColor blue(0, 0, 255);
    // clang-format off
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {0, 0, 338, 220},
         .caption = "关于",
         .color = QColor(64, 64, 64),
         .picture = ":/skin-medium.png",
         .icon = ":/dialog-icon.png",
         .centred = true},
        {.kind = Kind::Title, .name = "lblTitle", .rect = {72, 8, 177, 33}, .caption = "关于"},
        {.kind = Kind::CloseMark, .name = "lblClose", .rect = {312, 0, 25, 25}},
        {.kind = Kind::Text,
         .name = "lblTit",
         .rect = {88, 48, 185, 33},
         .caption = "Zirvel ",
         .color = yellow,
         .font = Fonts::kai(26.25)},
        {.kind = Kind::Picture,
         .name = "Image1",
         .rect = {24, 48, 43, 46},
         .picture = ":/logo.png"},
        {.kind = Kind::Text, .name = "lblVersion", .rect = {280, 72, 30, 12}, .caption = "V 6.0"},
        // lblMac is a control array: 1 the line under the name, 0 the note.
        {.kind = Kind::Text,
         .name = "lblMac",
         .rect = {136, 86, 81, 13},
         .caption = "欢迎反馈",
         .color = blue,
         .font = Fonts::song(10.5),
         .index = 1},
        {.kind = Kind::WrappedText,
         .name = "lblMac",
         .rect = {16, 104, 305, 105},
         .caption = "欢迎使用 Zirvel！本程序完全免费，可以自由使用和传播。如果您喜欢它，"
                    "欢迎参与改进：修正错误、完善功能、绘制图片都很有帮助。\n"
                    "遇到问题或有建议，请在项目的问题页面报告。",
         .color = blue,
         .font = Fonts::song(10.5),
         .index = 0},
    };
    // clang-format on
    return table;
}

AboutDialog::AboutDialog(WindowTable &table) : SkinnedDialog(table, design())
{
    setFocusPolicy(Qt::NoFocus);
}
