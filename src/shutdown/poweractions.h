#pragma once

class IPowerBackend;

/// Switching the computer off or restarting it at once.
class PowerActions {
public:
    explicit PowerActions(IPowerBackend &backend) : m_backend(backend) {}
    void ShutDown(int flag);
    void Restart();

private:
    IPowerBackend &m_backend;
};
