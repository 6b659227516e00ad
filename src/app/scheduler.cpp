#include "app/scheduler.h"

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
    if (due.shutdown)
        scheduledShutdown(due.noPrompt);
    if (due.chime && !m_table.isLoaded<frmIntTime>())
        m_table.show<frmIntTime>();
    if (due.alarm && !m_table.isLoaded<frmTimer>())
        m_table.show<frmTimer>();
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
    if (auto *warning = m_table.window<frmShutdownWarning>()) {
        warning->setNoPrompt(noPrompt);
        warning->showAndRaise();
    }
}
