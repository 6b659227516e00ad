#include "platform/activationpairing.h"

TrayActivation ActivationPairing::activate(qint64 nowMs, int intervalMs)
{
    if (m_pressAt && nowMs - *m_pressAt < intervalMs) {
        m_pressAt.reset();
        return TrayActivation::LeftDoubleClick;
    }
    m_pressAt = nowMs;
    return TrayActivation::LeftPress;
}
