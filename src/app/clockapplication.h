#pragma once

#include "app/commandrunner.h"
#include "app/unixsignals.h"
#include "clock/scheduler.h"
#include "ui/windowtable.h"

#include <QObject>

class SingleInstance;

/// The running clock, wired together once: the window table with the strip
/// as its main window, the scheduler that follows the strip's seconds, the
/// menus and the icon, and what reaches the clock from outside (another
/// start, a command from the terminal, a request to terminate).
class ClockApplication : public QObject {
    Q_OBJECT
public:
    ClockApplication(Services services, SettingsStore &store, SingleInstance &instance);
    ~ClockApplication() override;

    /// Loads the strip, which shows itself and starts its seconds.
    void start();

private:
    WindowTable m_table;
    Scheduler m_scheduler;
    CommandRunner m_runner;
    UnixSignals m_signals;
};
