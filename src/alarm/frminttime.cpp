#include "alarm/frminttime.h"

namespace {
DialogChrome chrome()
{
    DialogChrome c;
    c.clientSize = QSize(315, 174);
    c.skin = QStringLiteral(":/skin-small.png");
    c.titleText = QStringLiteral("整点报时");
    c.titleRect = QRect(72, 8, 153, 33);
    c.closeName = QStringLiteral("lblMin");
    c.closeRect = QRect(288, 0, 25, 25);
    c.hasWindowIcon = false;
    return c;
}
} // namespace

frmIntTime::frmIntTime(WindowTable &table) : SkinnedDialog(table, chrome()) {}
