#include "shutdown/poweractions.h"

#include "platform/poweractions.h"

void PowerActions::ShutDown(int)
{
    m_backend.powerOff();
}

void PowerActions::Restart()
{
    m_backend.reboot();
}
