#include "shutdown/frmshutdownwarning.h"

#include "platform/clock.h"
#include "platform/services.h"
#include "platform/windowsystem.h"
#include "shutdown/poweractions.h"
#include "time/secondticker.h"
#include "time/wholesecond.h"
#include "ui/controltable.h"
#include "ui/fonts.h"
#include "ui/windowtable.h"

#include <QLabel>
#include <QPushButton>

using Kind = ControlRow::Kind;

namespace {

DialogChrome chrome()
{
    DialogChrome c;
    c.windowTitle = QStringLiteral("定时关机");
    c.clientSize = QSize(339, 221);
    c.skin = QStringLiteral(":/skin-medium.png");
    c.titleText = QStringLiteral("定时关机");
    c.titleRect = QRect(72, 8, 177, 33);
    c.closeName = QStringLiteral("lblClose");
    c.closeRect = QRect(312, 0, 25, 25);
    return c;
}

const QList<ControlRow> &designTable()
{
    static const QList<ControlRow> table = {
        {Kind::Label, "lblCountdown", {}, {24, 80, 291, 40}, {}, -1},
        {Kind::Button, "cmdShutDownNow", {}, {64, 160, 97, 25}, "立即关机", 1},
        {Kind::Button, "cmdCancel", {}, {178, 160, 97, 25}, "取消", 0},
    };
    return table;
}

} // namespace

frmShutdownWarning::frmShutdownWarning(WindowTable &table) : SkinnedDialog(table, chrome())
{
    setFont(Fonts::song(9));
    const QHash<QString, QWidget *> c = buildControls(this, designTable());
    lblCountdown = control<QLabel>(c, QStringLiteral("lblCountdown"));
    cmdShutDownNow = control<QPushButton>(c, QStringLiteral("cmdShutDownNow"));
    cmdCancel = control<QPushButton>(c, QStringLiteral("cmdCancel"));
    lblCountdown->setFont(Fonts::song(12));
    lblCountdown->setAlignment(Qt::AlignCenter);

    connect(cmdShutDownNow, &QPushButton::clicked, this, &frmShutdownWarning::shutDownNow);
    connect(cmdCancel, &QPushButton::clicked, this, &frmShutdownWarning::unload);

    m_ticker = new SecondTicker(*services().clock, this);
    connect(m_ticker, &SecondTicker::tick, this, &frmShutdownWarning::onSecond);
}

void frmShutdownWarning::load()
{
    m_left = CountdownSeconds;
    m_lastSecond = wholeSecond(services().clock->now());
    showCountdown();
    services().windows->setTopmost(this, true);
    cmdCancel->setFocus();
    m_ticker->start();
}

void frmShutdownWarning::onSecond(const QDateTime &now)
{
    const QDateTime second = wholeSecond(now);
    const qint64 step = m_lastSecond.secsTo(second);
    m_lastSecond = second;
    // A longer step is a suspend or a clock change, not time the user had
    // to react; a step back is the clock set back.
    if (step <= 0 || step > 1 + MaxSkippedSeconds)
        return;
    m_left = std::max<qint64>(0, m_left - step);
    showCountdown();
    if (m_left == 0) {
        // Nothing inside the tick may block: the power request (and whatever
        // it may report) runs after the tick has returned.
        m_ticker->stop();
        QMetaObject::invokeMethod(this, &frmShutdownWarning::shutDownNow, Qt::QueuedConnection);
    }
}

void frmShutdownWarning::showCountdown()
{
    lblCountdown->setText(QStringLiteral("将在 %1 秒后关闭计算机").arg(m_left));
}

void frmShutdownWarning::shutDownNow()
{
    m_ticker->stop();
    PowerActions(services()).ShutDown(0);
    unload();
}
