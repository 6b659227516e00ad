#pragma once

#include "platform/powerbackend.h"

#include <QObject>
#include <QStringList>

#include <chrono>

/// The buses a power request goes to, read from the environment once.
struct PowerBuses {
    QString sessionAddress; ///< empty: there is no session bus
    QString systemAddress;
    QStringList currentDesktops; ///< XDG_CURRENT_DESKTOP, to settle a tie between session managers

    static PowerBuses fromEnvironment();
};

/// Power-off and restart the way the desktop itself does them: the desktop's
/// session manager on the session bus, chosen by the names present there,
/// ends the session (applications can ask to save their work) and then acts;
/// only where there is no session manager, systemd-logind on the system bus
/// is asked for PowerOff(false) / Reboot(false). Never forced, never
/// interactive.
///
/// Each request runs on a thread of its own and every wait on a bus lasts at
/// most `answerWithin`, so neither a slow nor a stuck bus can hold the event
/// loop; a watchdog on the event loop's side gives up on a wait that overruns
/// anyway (a socket that never accepts blocks in connect()).
class DesktopPowerBackend final : public QObject, public IPowerBackend {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultAnswerTime{5000};

    explicit DesktopPowerBackend(PowerBuses buses,
                                 std::chrono::milliseconds answerWithin = DefaultAnswerTime,
                                 QObject *parent = nullptr);

    void request(PowerRequest what, Done done) override;

private:
    PowerBuses m_buses;
    std::chrono::milliseconds m_answerWithin;
};
