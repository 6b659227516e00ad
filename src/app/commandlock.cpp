#include "app/commandlock.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>

using namespace std::chrono_literals;

namespace {

QString lockPath(const QString &settingsPath)
{
    QDir().mkpath(QFileInfo(settingsPath).absolutePath()); // failures show when the file is written
    return settingsPath + QStringLiteral(".command.lock");
}

} // namespace

CommandLock::CommandLock(const QString &settingsPath)
    : m_settingsPath(settingsPath), m_lock(lockPath(settingsPath), 5000ms)
{
}

QString CommandLock::refusal() const
{
    if (m_lock.state() != FileLock::State::Held)
        return {};
    return QStringLiteral("zirvel：另一个 zirvel 命令一直占着设置文件 %1")
        .arg(QDir::toNativeSeparators(m_settingsPath));
}
