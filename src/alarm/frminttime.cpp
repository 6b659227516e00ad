#include "alarm/frminttime.h"

namespace {
RingingPopupLayout popupLayout()
{
    RingingPopupLayout l;
    l.windowName = QStringLiteral("frmIntTime");
    l.soundFile = QStringLiteral("tolvek.wav");
    l.okCaption = QStringLiteral("确 定(O)");
    l.okRect = QRect(104, 128, 89, 25);
    l.nowTimeLabel = QPoint(48, 80);
    l.timeBox = QRect(128, 72, 113, 25);
    return l;
}
} // namespace

frmIntTime::frmIntTime(WindowTable &table) : RingingPopup(table, popupLayout()) {}
