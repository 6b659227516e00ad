#pragma once

#include "platform/filelock.h"

#include <QString>

#include <chrono>

/// The lock beside the settings file that writers of the file share (the
/// same name QSettings uses: "<file>.lock"). Taking it waits a bounded time:
/// a lock left behind is taken at once, and something at that name that is
/// not a lock file is never opened nor waited for. When the lock cannot be
/// had the save goes ahead unlocked; the file is replaced atomically either
/// way.
class SettingsLock {
public:
    SettingsLock(const QString &settingsPath, std::chrono::milliseconds wait);

private:
    FileLock m_lock;
};
