#include "shutdown/frmclosewindows.h"

namespace {
DialogChrome chrome()
{
    DialogChrome c;
    c.windowTitle = QStringLiteral("关机设置");
    c.clientSize = QSize(340, 222);
    c.skin = QStringLiteral(":/skin-medium.png");
    c.startPosition = QPoint(195, 165);
    c.titleText = QStringLiteral("关机设置");
    c.titleRect = QRect(60, 8, 200, 20);
    c.closeName = QStringLiteral("lblClose");
    c.closeRect = QRect(318, 8, 17, 17);
    return c;
}
} // namespace

frmCloseWindows::frmCloseWindows(WindowTable &table) : SkinnedDialog(table, chrome()) {}
