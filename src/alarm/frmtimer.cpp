#include "alarm/frmtimer.h"

#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "ui/wrappinglabel.h"

namespace {
RingingPopupLayout popupLayout()
{
    RingingPopupLayout l;
    l.windowName = QStringLiteral("frmTimer");
    l.soundFile = QStringLiteral("ohmy.wav");
    l.okCaption = QStringLiteral("确 定(&O)");
    l.okRect = QRect(120, 184, 89, 25);
    l.nowTimeLabel = QPoint(48, 64);
    l.timeBox = QRect(120, 64, 113, 25);
    return l;
}
} // namespace

frmTimer::frmTimer(WindowTable &table) : RingingPopup(table, popupLayout())
{
    lblPrompt = new QLabel(QStringLiteral("提示信息："), this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->move(48, 96);
    lblPrompt->adjustSize();

    // The message wraps inside the box; what does not fit is not shown.
    lblPromptMsg = new WrappingLabel(this);
    lblPromptMsg->setObjectName(QStringLiteral("lblPromptMsg"));
    lblPromptMsg->setGeometry(32, 120, 273, 49);
    styleAsTextBox(lblPromptMsg);
}

void frmTimer::loadMessage()
{
    lblPromptMsg->setText(store().text(Keys::Prompt));
}
