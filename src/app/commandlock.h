#pragma once

#include "platform/filelock.h"

#include <QString>

/// What commands run with no clock take turns on, for the whole of their
/// read, change and write of the settings file, so that two at once never
/// lose each other's change: a lock beside the file, "<file>.command.lock".
/// Something at that name that is not a lock file is never waited for: the
/// command then goes ahead without it.
class CommandLock {
public:
    explicit CommandLock(const QString &settingsPath);

    /// Why the command cannot go ahead, one line for the user: another
    /// command has held the lock for longer than a command waits; "" when
    /// it can go ahead.
    QString refusal() const;

private:
    QString m_settingsPath;
    FileLock m_lock;
};
