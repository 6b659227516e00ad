#include "shutdown/shutdownwarning.h"

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

const QList<ControlRow> &ShutdownWarning::design()
{
    // clang-format off
    static const QList<ControlRow> table = {
        {.kind = Kind::Window,
         .rect = {0, 0, 339, 221},
         .caption = "定时关机",
         .picture = ":/skin-medium.png",
         .icon = ":/dialog-icon.png",
         .centred = true},
        {.kind = Kind::Title, .name = "lblTitle", .rect = {72, 8, 177, 33}, .caption = "定时关机"},
        {.kind = Kind::CloseMark, .name = "lblClose", .rect = {312, 0, 25, 25}},
        {.kind = Kind::Label,
         .name = "lblCountdown",
         .rect = {24, 80, 291, 40},
         .font = Fonts::song(12),
         .alignment = Qt::AlignCenter},
        {.kind = Kind::Button, .name = "cmdShutDownNow", .rect = {64, 160, 97, 25}, .caption = "立即关机", .tabIndex = 1},
        {.kind = Kind::Button, .name = "cmdCancel", .rect = {178, 160, 97, 25}, .caption = "取消", .tabIndex = 0},
    };
    // clang-format on
    return table;
}

ShutdownWarning::ShutdownWarning(WindowTable &table) : SkinnedDialog(table, design())
{
    lblCountdown = control<QLabel>(QStringLiteral("lblCountdown"));
    cmdShutDownNow = control<QPushButton>(QStringLiteral("cmdShutDownNow"));
    cmdCancel = control<QPushButton>(QStringLiteral("cmdCancel"));

    connect(cmdShutDownNow, &QPushButton::clicked, this, &ShutdownWarning::shutDownNow);
    connect(cmdCancel, &QPushButton::clicked, this, &ShutdownWarning::unload);

    m_ticker = new SecondTicker(*services().clock, this);
    connect(m_ticker, &SecondTicker::secondPassed, this, &ShutdownWarning::onSecond);
}

void ShutdownWarning::load()
{
    m_left = CountdownSeconds;
    m_lastSecond = wholeSecond(services().clock->now());
    showCountdown();
    services().windows->setTopmost(this, true);
    cmdCancel->setFocus();
    m_ticker->start();
}

void ShutdownWarning::countDown(int seconds)
{
    m_left = std::clamp(seconds, 0, int(CountdownSeconds));
    showCountdown();
    showAndRaise();
    if (m_left == 0) {
        m_ticker->stop();
        QMetaObject::invokeMethod(this, &ShutdownWarning::shutDownNow, Qt::QueuedConnection);
    }
}

void ShutdownWarning::onSecond(const QDateTime &now)
{
    const QDateTime second = wholeSecond(now);
    const qint64 step = m_lastSecond.secsTo(second);
    m_lastSecond = second;
    // A longer step is a suspend or a clock change, not time the user had
    // to react; a step back is the clock set back.
    if (step <= 0 || step > 1 + MaxSkippedSeconds)
        return;
    m_left = std::max(0, m_left - int(step));
    showCountdown();
    if (m_left == 0) {
        // Nothing inside the tick may block: the power request (and whatever
        // it may report) runs after the tick has returned.
        m_ticker->stop();
        QMetaObject::invokeMethod(this, &ShutdownWarning::shutDownNow, Qt::QueuedConnection);
    }
}

void ShutdownWarning::showCountdown()
{
    lblCountdown->setText(QStringLiteral("将在 %1 秒后关闭计算机").arg(m_left));
}

void ShutdownWarning::shutDownNow()
{
    m_ticker->stop();
    PowerActions(services()).ShutDown(false);
    unload();
}
