#pragma once

#include "settings/alarmsettings.h"
#include "settings/chimesettings.h"
#include "settings/optionsettings.h"
#include "settings/shutdownsettings.h"

/// The owners of the features' settings, over one store: the dialogs, the
/// command line, the scheduler and the menus all read and write through
/// these, and each tells of its changes.
class FeatureSettings {
public:
    explicit FeatureSettings(SettingsStore &settings)
        : store(settings), alarm(settings), chime(settings), shutdown(settings), options(settings)
    {
    }
    FeatureSettings(const FeatureSettings &) = delete;
    FeatureSettings &operator=(const FeatureSettings &) = delete;

    SettingsStore &store;
    AlarmSettings alarm;
    ChimeSettings chime;
    ShutdownSettings shutdown;
    OptionSettings options;
};
