#include "settings/optionsettings.h"

#include "settings/chimesettings.h"
#include "settings/settingskeys.h"
#include "settings/shutdownsettings.h"

OptionSettings::OptionSettings(SettingsStore &store, QObject *parent)
    : SettingsOwner(store, {Keys::ChkAutoRun}, parent)
{
}

bool OptionSettings::save(bool chime, bool shutdown, bool startAtLogOn)
{
    return m_store.save(
        {ShutdownSettings::switchChange(shutdown),
         ChimeSettings::switchChange(chime),
         {Keys::ChkAutoRun, startAtLogOn ? QStringLiteral("1") : QStringLiteral("0")}});
}
