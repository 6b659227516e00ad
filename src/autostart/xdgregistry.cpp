#include "autostart/xdgregistry.h"

#include "autostart/registrypath.h"
#include "platform/messageboxes.h"

XdgRegistry::XdgRegistry(AutostartFolders folders, IMessageBoxes &messages)
    : m_folders(std::move(folders)), m_messages(messages)
{
}

void XdgRegistry::writeStringValue(const QString &keyPath, const QString &valueName,
                                   const QString &data)
{
    // A problem is told once: the same one again (the options opened with the
    // box ticked, on a full disk) is not, until a write succeeds.
    const QString problem = WriteStringValue(keyPath, valueName, data, m_folders, m_messages);
    if (!problem.isEmpty() && problem != m_problem)
        m_messages.show(problem);
    m_problem = problem;
}

bool XdgRegistry::hasValue(const QString &keyPath, const QString &valueName)
{
    return HasRunValue(keyPath, valueName, m_folders);
}
