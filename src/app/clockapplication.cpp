#include "app/clockapplication.h"

#include "app/singleinstance.h"
#include "clock/clockstrip.h"
#include "tray/exitsequence.h"
#include "tray/traycontroller.h"

ClockApplication::ClockApplication(Services services, SettingsStore &store,
                                   SingleInstance &instance)
    : m_table(services, store), m_scheduler(m_table), m_runner(m_table)
{
    m_table.setMainWindow<ClockStrip>();
    // Another start of the program on this display brings the clock forward.
    connect(&instance, &SingleInstance::activationRequested, this,
            [this] { m_table.show<ClockStrip>(); });
    // Commands from the terminal: the clock writes the settings and acts.
    instance.setCommandHandler([this](const QStringList &args) { return m_runner.run(args); });
    TrayController::installClockMenu(m_table);
    connect(&m_signals, &UnixSignals::terminationRequested, this,
            [this] { exitProgram(m_table, ExitKind::Short); });
}

ClockApplication::~ClockApplication() = default;

void ClockApplication::start()
{
    m_table.window<ClockStrip>();
}
