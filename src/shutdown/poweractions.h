#pragma once

#include <QtGlobal>

class IPowerBackend;

/// The two ways the program ends the session: switch the computer off, or
/// restart it. Each is one orderly request to the system, made at once,
/// without a question; its outcome is not reported.
class PowerActions {
public:
    explicit PowerActions(IPowerBackend &backend);

    /// Powers the computer off. `noPrompt` is the stored "shut down without
    /// asking" flag; the request is the same whatever it holds (callers that
    /// warn first do so before calling).
    void ShutDown(const qint16 &noPrompt);
    /// Restarts the computer.
    void Restart();

private:
    IPowerBackend &m_backend;
};
