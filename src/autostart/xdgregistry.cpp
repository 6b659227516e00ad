#include "autostart/xdgregistry.h"

#include "autostart/registrypath.h"

XdgRegistry::XdgRegistry(AutostartFolders folders, IMessageBoxes &messages)
    : m_folders(std::move(folders)), m_messages(messages)
{
}

void XdgRegistry::writeStringValue(const QString &keyPath, const QString &valueName,
                                   const QString &data)
{
    WriteStringValue(keyPath, valueName, data, m_folders, m_messages);
}
