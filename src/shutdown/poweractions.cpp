#include "shutdown/poweractions.h"

#include "platform/poweractions.h"

PowerActions::PowerActions(IPowerBackend &backend) : m_backend(backend) {}

void PowerActions::ShutDown(const qint16 &noPrompt)
{
    Q_UNUSED(noPrompt);
    m_backend.powerOff();
}

void PowerActions::Restart()
{
    m_backend.reboot();
}
