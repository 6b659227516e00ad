#pragma once

#include <QString>

#include <chrono>
#include <memory>

class QLockFile;

/// The lock beside the settings file that writers of the file share (the
/// same name QSettings uses: "<file>.lock"). Taking it waits a bounded time:
/// a lock left behind, or something at that name that is not a lock file,
/// never stalls a save. When the lock cannot be had in time the save goes
/// ahead unlocked; the file is replaced atomically either way.
class SettingsLock {
public:
    SettingsLock(const QString &settingsPath, std::chrono::milliseconds wait);
    ~SettingsLock();
    SettingsLock(const SettingsLock &) = delete;
    SettingsLock &operator=(const SettingsLock &) = delete;

    bool isLocked() const { return m_lock != nullptr; }

private:
    std::unique_ptr<QLockFile> m_lock;
};
