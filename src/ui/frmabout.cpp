#include "ui/frmabout.h"

namespace {
DialogChrome chrome()
{
    DialogChrome c;
    c.windowTitle = QStringLiteral("关于");
    c.clientSize = QSize(340, 222);
    c.skin = QStringLiteral(":/skin-medium.png");
    c.titleText = QStringLiteral("关于");
    c.titleRect = QRect(60, 8, 200, 20);
    c.closeName = QStringLiteral("lblClose");
    c.closeRect = QRect(318, 8, 17, 17);
    return c;
}
} // namespace

frmAbout::frmAbout(WindowTable &table) : SkinnedDialog(table, chrome()) {}
