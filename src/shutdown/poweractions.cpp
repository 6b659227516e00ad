#include "shutdown/poweractions.h"

#include "platform/messageboxes.h"
#include "platform/services.h"
#include "shutdown/powerfailuretext.h"

PowerActions::PowerActions(const Services &services)
    : m_backend(*services.power), m_messages(*services.messages)
{
}

void PowerActions::ShutDown(bool noPrompt)
{
    Q_UNUSED(noPrompt);
    request(PowerRequest::PowerOff);
}

void PowerActions::Restart()
{
    request(PowerRequest::Reboot);
}

void PowerActions::request(PowerRequest what)
{
    IMessageBoxes *messages = &m_messages;
    m_backend.request(what, [messages, what](const PowerOutcome &outcome) {
        if (outcome.failure)
            messages->show(powerFailureText(what, *outcome.failure));
    });
}
