#include "settings/settingslock.h"

SettingsLock::SettingsLock(const QString &settingsPath, std::chrono::milliseconds wait)
    : m_lock(settingsPath + QStringLiteral(".lock"), wait)
{
}
