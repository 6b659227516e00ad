#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

/// What the computer is asked to do.
enum class PowerRequest { PowerOff, Reboot };

/// Who was asked, or could not be asked, when a power request failed.
enum class PowerParty {
    SessionBus,     ///< the desktop's session bus itself
    SessionManager, ///< the desktop's session manager (its bus name in PowerFailure::service)
    SystemBus,      ///< the system bus itself
    Logind,         ///< systemd-logind on the system bus
};

/// A program that holds a lock against shutting down, as logind lists it.
struct PowerInhibitor {
    QString who;
    QString why;
    friend bool operator==(const PowerInhibitor &, const PowerInhibitor &) = default;
};

/// Why a power request did not go through.
struct PowerFailure {
    enum class Kind {
        Refused,     ///< an error answer (errorName, errorMessage)
        Unreachable, ///< the bus could not be reached (errorName, errorMessage)
        NoAnswer,    ///< no answer within timeoutSeconds
    };
    Kind kind = Kind::Refused;
    PowerParty party = PowerParty::Logind;
    QString service; ///< the session manager's bus name, when party is SessionManager
    QString errorName;
    QString errorMessage;
    int timeoutSeconds = 0;
    /// For a refusal by logind: the programs blocking the shutdown.
    QList<PowerInhibitor> inhibitors;
};

/// How a power request ended.
struct PowerOutcome {
    QString handledBy; ///< the bus name that accepted the request
    std::optional<PowerFailure> failure;
    bool ok() const { return !failure.has_value(); }
};

/// Switching the computer off or restarting it, orderly (applications may
/// still object), never forced and never asking for a password.
class IPowerBackend {
public:
    using Done = std::function<void(const PowerOutcome &)>;
    virtual ~IPowerBackend() = default;
    /// Starts the request and returns at once. `done` runs later, from the
    /// event loop (never from within this call), on the thread that asked.
    virtual void request(PowerRequest what, Done done) = 0;
};
