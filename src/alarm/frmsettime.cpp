#include "alarm/frmsettime.h"

namespace {
DialogChrome chrome()
{
    DialogChrome c;
    c.windowTitle = QStringLiteral("闹钟");
    c.clientSize = QSize(485, 316);
    c.skin = QStringLiteral(":/skin-large.png");
    c.titleText = QStringLiteral("定时器设置");
    c.titleRect = QRect(80, 8, 313, 33);
    c.closeName = QStringLiteral("lblClose");
    c.closeRect = QRect(464, 8, 17, 17);
    return c;
}
} // namespace

frmSetTime::frmSetTime(WindowTable &table) : SkinnedDialog(table, chrome()) {}
