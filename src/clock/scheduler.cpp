#include "clock/scheduler.h"

#include "alarm/alarmpopup.h"
#include "alarm/chimepopup.h"
#include "clock/clockstrip.h"
#include "platform/clock.h"
#include "platform/services.h"
#include "shutdown/poweractions.h"
#include "shutdown/shutdownwarning.h"
#include "time/wholesecond.h"
#include "ui/windowtable.h"

#include <QScreen>

namespace {

/// Places `popup` where none of the open `others` hides it or is hidden by
/// it: below or above one of them, on its screen; where nothing fits, it
/// stays where it is.
void placeClear(QWidget *popup, const QList<QWidget *> &others)
{
    if (others.isEmpty() || !popup->screen())
        return;
    const QRect area = popup->screen()->availableGeometry();
    const QSize size = popup->frameGeometry().size();
    constexpr int Gap = 8;
    const auto clear = [&](const QRect &place) {
        if (!area.contains(place))
            return false;
        for (const QWidget *other : others) {
            if (place.intersects(other->frameGeometry()))
                return false;
        }
        return true;
    };
    for (const QWidget *other : others) {
        const QRect there = other->frameGeometry();
        const int left = there.center().x() - size.width() / 2;
        for (const int top : {there.bottom() + 1 + Gap, there.top() - Gap - size.height()}) {
            if (const QRect place(QPoint(left, top), size); clear(place)) {
                popup->move(popup->pos() + (place.topLeft() - popup->frameGeometry().topLeft()));
                return;
            }
        }
    }
}

} // namespace

Scheduler::Scheduler(WindowTable &table, QObject *parent)
    : QObject(parent), m_table(table), m_dueCheck(table.store())
{
    // Each strip the table loads drives the checks with its seconds.
    connect(&m_table, &WindowTable::windowLoaded, this, [this](ManagedWindow *window) {
        if (auto *strip = qobject_cast<ClockStrip *>(window))
            connect(strip, &ClockStrip::secondShown, this, &Scheduler::runDue);
    });
    // When one ringing pop-up closes, the other one (still open) takes the
    // keyboard, so Enter closes it in turn.
    connect(&m_table, &WindowTable::windowUnloaded, this, [this](const QString &name) {
        RingingPopup *other = nullptr;
        if (name == QLatin1String(AlarmPopup::WindowName))
            other = m_table.loaded<ChimePopup>();
        else if (name == QLatin1String(ChimePopup::WindowName))
            other = m_table.loaded<AlarmPopup>();
        if (other && other->isVisible())
            other->showAndRaise();
    });
    connect(&m_table.features().shutdown, &ShutdownSettings::changed, this,
            &Scheduler::scheduleChanged);
}

void Scheduler::scheduleChanged()
{
    ShutdownWarning *warning = m_table.loaded<ShutdownWarning>();
    if (!warning || m_disarming)
        return;
    const QDateTime second = wholeSecond(m_table.services().clock->now());
    const Schedule schedule = Schedule::read(m_table.store());
    if (!schedule.noPrompt && schedule.nextShutdown(second) == m_warningFor)
        return;
    m_table.unload(warning);
}

template <class Popup> void Scheduler::ring()
{
    if (m_table.isLoaded<Popup>())
        return;
    Popup *popup = m_table.show<Popup>();
    if (!popup)
        return;
    // Opened in the same moment as another pop-up or the warning, it does not
    // cover them.
    QList<QWidget *> others;
    for (QWidget *other : std::initializer_list<QWidget *>{m_table.loaded<AlarmPopup>(),
                                                           m_table.loaded<ChimePopup>(),
                                                           m_table.loaded<ShutdownWarning>()}) {
        if (other && other != popup && other->isVisible())
            others << other;
    }
    placeClear(popup, others);
}

void Scheduler::runDue(const QDateTime &now)
{
    const DueActions due = m_dueCheck.check(now);
    // Each action after the second's signal has returned (see the class comment), each
    // on its own, so one that waits for the user holds up none of the others.
    if (due.warningSeconds) {
        later([this, seconds = *due.warningSeconds, moment = due.warningFor] {
            // One warning at a time: one already counting goes on.
            if (m_table.isLoaded<ShutdownWarning>())
                return;
            m_warningFor = moment;
            if (auto *warning = m_table.window<ShutdownWarning>())
                warning->countDown(seconds);
        });
    }
    if (due.shutdown || due.disarmShutdown) {
        later([this, due] {
            // Switched off first: the power request may end the program.
            if (due.disarmShutdown) {
                m_disarming = true;
                m_table.features().shutdown.setOn(false);
                m_disarming = false;
            }
            // With the warning, its countdown makes the request at this
            // second (or the user cancelled it).
            if (due.shutdown && due.noPrompt)
                PowerActions(m_table.services()).ShutDown(true);
        });
    }
    if (due.chime) {
        later([this] { ring<ChimePopup>(); });
    }
    if (due.alarm) {
        later([this] { ring<AlarmPopup>(); });
    }
}

void Scheduler::later(std::function<void()> action)
{
    QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}
