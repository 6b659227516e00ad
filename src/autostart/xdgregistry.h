#pragma once

#include "autostart/autostartentry.h"
#include "platform/registry.h"

class IMessageBoxes;

/// The Run keys as the freedesktop autostart folders. An entry that cannot
/// be written is told, naming the file and the reason.
class XdgRegistry final : public IRegistry {
public:
    XdgRegistry(AutostartFolders folders, IMessageBoxes &messages);
    void writeStringValue(const QString &keyPath, const QString &valueName,
                          const QString &data) override;
    bool hasValue(const QString &keyPath, const QString &valueName) override;

private:
    AutostartFolders m_folders;
    IMessageBoxes &m_messages;
    QString m_problem; ///< the last one told; "" after a write
};
