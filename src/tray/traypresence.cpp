#include "tray/traypresence.h"

TrayPresence::TrayPresence(Icon icon, QObject *parent) : QObject(parent), m_icon(std::move(icon)) {}

void TrayPresence::start()
{
    if (m_phase != Phase::Waiting)
        return;
    m_phase = Phase::Running;
    tryAdd();
}

void TrayPresence::hostChanged(bool available)
{
    if (m_phase != Phase::Running)
        return;
    if (available) {
        tryAdd();
    } else if (m_shown) {
        // The icon went with its host; taken out here too, so that a host
        // that comes later gets it afresh.
        m_icon.remove();
        setShown(false);
    }
}

void TrayPresence::stop()
{
    if (m_shown)
        m_icon.remove();
    m_shown = false;
    m_phase = Phase::Stopped;
}

void TrayPresence::tryAdd()
{
    if (m_shown)
        return;
    if (m_icon.add()) {
        setShown(true);
        return;
    }
    // Once a run: a host that comes and goes does not bring the message back.
    if (m_failureReported)
        return;
    m_failureReported = true;
    m_icon.reportFailure();
}

void TrayPresence::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    emit iconShownChanged(shown);
}
