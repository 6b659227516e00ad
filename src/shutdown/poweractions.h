#pragma once

#include "platform/powerbackend.h"

#include <QtGlobal>

class IMessageBoxes;
struct Services;

/// The two ways the program ends the session: switch the computer off, or
/// restart it. Each is one orderly request to the system, made at once,
/// without a question. When it does not go through, a message says so and
/// why, shown later from the event loop (never inside the caller, so a
/// scheduler tick that asked is never held up by it).
class PowerActions {
public:
    explicit PowerActions(const Services &services);

    /// Powers the computer off. `noPrompt` is the stored "shut down without
    /// asking" flag; the request is the same whatever it holds (callers that
    /// warn first do so before calling).
    void ShutDown(bool noPrompt);
    /// Restarts the computer.
    void Restart();

private:
    void request(PowerRequest what);

    IPowerBackend &m_backend;
    IMessageBoxes &m_messages;
};
