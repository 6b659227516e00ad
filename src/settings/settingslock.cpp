#include "settings/settingslock.h"

#include <QFile>
#include <QLockFile>

#include <sys/stat.h>

SettingsLock::SettingsLock(const QString &settingsPath, std::chrono::milliseconds wait)
{
    const QString path = settingsPath + QStringLiteral(".lock");
    // A folder, a link, a FIFO... is not a lock anyone holds: reading it as a
    // lock file could block, and it can never be replaced by one.
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return;
    auto lock = std::make_unique<QLockFile>(path);
    if (lock->tryLock(wait))
        m_lock = std::move(lock);
}

SettingsLock::~SettingsLock() = default;
