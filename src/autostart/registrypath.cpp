#include "autostart/registrypath.h"

#include "autostart/autostartentry.h"
#include "platform/messageboxes.h"

#include <QDir>

#include <iterator>

namespace RegistryPath {

QString incorrectFormatMessage(const QString &keyPath)
{
    return QStringLiteral("Incorrect Format:\n\n") + keyPath;
}

QString entryProblemMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入开机自动运行项 %1\r原因：%2\r原来的设置保持不变。")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace RegistryPath

using namespace RegistryPath;

quint32 RootKeyFromName(const QString &rootName)
{
    struct Row {
        const char *name;
        RootKey key;
    };
    static constexpr Row rows[] = {
        {"HKEY_CLASSES_ROOT", ClassesRoot},
        {"HKEY_CURRENT_USER", CurrentUser},
        {"HKEY_LOCAL_MACHINE", LocalMachine},
        {"HKEY_USERS", Users},
        {"HKEY_PERFORMANCE_DATA", PerformanceData},
        {"HKEY_CURRENT_CONFIG", CurrentConfig},
        {"HKEY_DYN_DATA", DynData},
    };
    for (const Row &row : rows) {
        if (rootName == QLatin1String(row.name))
            return row.key;
    }
    return NoRootKey;
}

quint32 SplitKeyPath(QString &keyPath, IMessageBoxes &messages)
{
    if (!keyPath.startsWith(QLatin1String("HKEY_"), Qt::CaseSensitive) ||
        keyPath.endsWith(QLatin1Char('\\'))) {
        messages.show(incorrectFormatMessage(keyPath));
        return NoRootKey;
    }
    const qsizetype slash = keyPath.indexOf(QLatin1Char('\\'));
    if (slash < 0) {
        const quint32 root = RootKeyFromName(keyPath);
        keyPath.clear();
        return root;
    }
    const quint32 root = RootKeyFromName(keyPath.left(slash));
    keyPath = keyPath.mid(slash + 1);
    return root;
}

namespace {

/// The autostart folder of a Run key path; "" for any other path.
QString runFolder(const QString &keyPath, const AutostartFolders &folders, IMessageBoxes &messages)
{
    QString subKey = keyPath;
    const quint32 root = SplitKeyPath(subKey, messages);
    if (root == NoRootKey)
        return {};
    // Key names compare without case, as the registry's do. Only the two Run
    // keys exist here; opening any other key fails.
    if (subKey.compare(QLatin1String(RunSubKey), Qt::CaseInsensitive) != 0)
        return {};
    if (root == CurrentUser)
        return folders.user;
    if (root == LocalMachine)
        return folders.system;
    return {};
}

/// Keeps what it is told: the question needs no message.
class QuietMessages final : public IMessageBoxes {
public:
    void show(const QString &, const QString &) override {}
};

} // namespace

bool HasRunValue(const QString &keyPath, const QString &valueName, const AutostartFolders &folders)
{
    QuietMessages quiet;
    const QString folder = runFolder(keyPath, folders, quiet);
    return !folder.isEmpty() && autostartEntryStarts(folder, valueName);
}

QString WriteStringValue(const QString &keyPath, const QString &valueName, const QString &data,
                         const AutostartFolders &folders, IMessageBoxes &messages)
{
    // Nothing is written anywhere else.
    const QString folder = runFolder(keyPath, folders, messages);
    if (folder.isEmpty())
        return {};
    QString reason;
    if (writeAutostartEntry(folder, valueName, data, &reason))
        return {};
    return RegistryPath::entryProblemMessage(
        QDir(folder).filePath(valueName + QStringLiteral(".desktop")), reason);
}
