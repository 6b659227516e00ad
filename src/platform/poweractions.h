#pragma once

/// Switching the computer off or restarting it, orderly (applications may
/// still object), never forced. Results are not reported.
class IPowerBackend {
public:
    virtual ~IPowerBackend() = default;
    virtual void powerOff() = 0;
    virtual void reboot() = 0;
};
