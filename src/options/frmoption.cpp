#include "options/frmoption.h"

namespace {
DialogChrome chrome()
{
    DialogChrome c;
    c.windowTitle = QStringLiteral("选项设置");
    c.clientSize = QSize(315, 174);
    c.skin = QStringLiteral(":/skin-small.png");
    c.titleText = QStringLiteral("选项设置");
    c.titleRect = QRect(60, 8, 200, 20);
    c.closeName = QStringLiteral("lblClose");
    c.closeRect = QRect(293, 8, 17, 17);
    return c;
}
} // namespace

frmOption::frmOption(WindowTable &table) : SkinnedDialog(table, chrome()) {}
