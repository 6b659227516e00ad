#include "clock/scheduler.h"

#include "alarm/frminttime.h"
#include "alarm/frmtimer.h"
#include "platform/services.h"
#include "shutdown/frmshutdownwarning.h"
#include "shutdown/poweractions.h"
#include "ui/windowtable.h"

Scheduler::Scheduler(WindowTable &table, QObject *parent)
    : QObject(parent), m_table(table), m_tick(table.store())
{
}

void Scheduler::tick(const QDateTime &now)
{
    const DueActions due = m_tick.run(now);
    // Each action after the tick has returned (see the class comment), each
    // on its own, so one that waits for the user holds up none of the others.
    if (due.shutdown || due.disarmShutdown) {
        later([this, due] {
            // Switched off first: the power request may end the program.
            if (due.disarmShutdown)
                m_table.features().shutdown.setOn(false);
            if (due.shutdown)
                scheduledShutdown(due.noPrompt);
        });
    }
    if (due.chime) {
        later([this] {
            if (!m_table.isLoaded<frmIntTime>())
                m_table.show<frmIntTime>();
        });
    }
    if (due.alarm) {
        later([this] {
            if (!m_table.isLoaded<frmTimer>())
                m_table.show<frmTimer>();
        });
    }
}

void Scheduler::later(std::function<void()> action)
{
    QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}

void Scheduler::scheduledShutdown(qint16 noPrompt)
{
    if (noPrompt == 1) {
        PowerActions(m_table.services()).ShutDown(noPrompt);
        return;
    }
    // Not "without asking": warn first, so unsaved work can still be saved.
    if (m_table.isLoaded<frmShutdownWarning>())
        return;
    if (auto *warning = m_table.window<frmShutdownWarning>())
        warning->showAndRaise();
}
