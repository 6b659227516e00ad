#include "settings/chimesettings.h"

#include "settings/settingskeys.h"

ChimeSettings::ChimeSettings(SettingsStore &store, QObject *parent)
    : SettingsOwner(store, {Keys::ChkIntTime}, parent)
{
}

bool ChimeSettings::read(const SettingsStore &store)
{
    return store.flag(Keys::ChkIntTime) == 1;
}

SettingsStore::Change ChimeSettings::switchChange(bool on)
{
    return {Keys::ChkIntTime, on ? QStringLiteral("1") : QStringLiteral("0")};
}

bool ChimeSettings::setOn(bool on)
{
    return m_store.save({switchChange(on)});
}
