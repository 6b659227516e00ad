#include "settings/chimesettings.h"

#include "settings/settingskeys.h"

ChimeSettings::ChimeSettings(SettingsStore &store, QObject *parent)
    : QObject(parent), m_store(store)
{
    connect(&m_store, &SettingsStore::changed, this, [this](const QStringList &names) {
        if (Keys::touched(names, {Keys::ChkIntTime}))
            emit changed();
    });
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
