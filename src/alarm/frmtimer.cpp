#include "alarm/frmtimer.h"

namespace {
DialogChrome chrome()
{
    DialogChrome c;
    c.clientSize = QSize(339, 221);
    c.skin = QStringLiteral(":/skin-medium.png");
    c.titleText = QStringLiteral("闹钟");
    c.titleRect = QRect(72, 8, 177, 33);
    c.closeName = QStringLiteral("lblMin");
    c.closeRect = QRect(312, 0, 25, 25);
    c.hasWindowIcon = false;
    return c;
}
} // namespace

frmTimer::frmTimer(WindowTable &table) : SkinnedDialog(table, chrome()) {}
