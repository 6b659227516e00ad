#pragma once

#include "platform/busclient.h"
#include "platform/powerbackend.h"
#include "platform/sessionmanagerchooser.h"

#include <chrono>
#include <memory>

/// A desktop's session manager, asked on the session bus to end the session
/// the way its own log-out does, so applications can ask to save their work,
/// and then to switch the computer off or restart it. Never forced, and
/// never with a confirmation of its own where the manager offers a choice.
class SessionManager {
public:
    virtual ~SessionManager() = default;
    /// The bus name that receives the request.
    virtual QString service() const = 0;
    /// Sends the request over `bus`; each wait for an answer lasts at most
    /// `answerWithin`. An answered reply means the manager took it on.
    virtual BusReply request(BusClient &bus, PowerRequest what,
                             std::chrono::milliseconds answerWithin) const = 0;
};

std::unique_ptr<SessionManager> makeSessionManager(SessionManagerKind kind);
