#include "testenvironment.h"

#include "clock/clockstrip.h"

TestEnvironment::TestEnvironment(const std::function<void(QString &)> &prepareSettings)
{
    services.clock = &clock;
    services.messages = &messages;
    services.windows = &windows;
    services.sound = &sound;
    services.power = &power;
    services.tray = &tray;
    services.cdDrive = &cdDrive;
    services.program = &program;
    services.registry = &registry;
    services.launcher = &launcher;
    if (prepareSettings)
        prepareSettings(settingsFile);
    store = std::make_unique<SettingsStore>(settingsPath());
    table = std::make_unique<WindowTable>(services, *store);
    table->setMainWindow<ClockStrip>();
    scheduler = std::make_unique<Scheduler>(*table);
}

TestEnvironment::~TestEnvironment()
{
    scheduler.reset();
    table.reset();
}

std::unique_ptr<SettingsStore> TestEnvironment::reopenStore() const
{
    return std::make_unique<SettingsStore>(settingsPath());
}
