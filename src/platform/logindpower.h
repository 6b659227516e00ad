#pragma once

#include "platform/busclient.h"
#include "platform/powerbackend.h"

#include <chrono>

/// What systemd-logind answered a power request.
struct LogindAnswer {
    BusReply reply;
    /// On a refusal: the programs holding a lock that blocks shutting down.
    QList<PowerInhibitor> blockers;
};

/// Asks systemd-logind, over a connection to the system bus, for
/// PowerOff(false) / Reboot(false): never interactive (no password prompt;
/// logind refuses instead), never ignoring inhibitors. On a refusal it also
/// asks ListInhibitors who is blocking. Each wait lasts at most `answerWithin`.
/// https://www.freedesktop.org/software/systemd/man/org.freedesktop.login1.html
LogindAnswer requestFromLogind(BusClient &systemBus, PowerRequest what,
                               std::chrono::milliseconds answerWithin);

/// The block-mode locks on "shutdown" from a ListInhibitors answer, a(ssssuu):
/// what, who, why, mode, uid, pid.
QList<PowerInhibitor> shutdownBlockers(const QVariantList &inhibitors);
