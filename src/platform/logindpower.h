#pragma once

#include "platform/poweractions.h"

#include <QDBusConnection>
#include <QLoggingCategory>

#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcPower)

/// Power-off and reboot through systemd-logind on the system bus. The calls
/// are asynchronous and never interactive: logind either acts or refuses,
/// and a refusal (no permission, an inhibitor, no logind, no bus) only goes
/// to the "zirvel.power" logging category, which is off by default
/// (QT_LOGGING_RULES="zirvel.power.warning=true" shows it).
class LogindPowerBackend final : public IPowerBackend {
public:
    /// On the system bus, connected at the first request only.
    LogindPowerBackend() = default;
    /// On the given bus (tests).
    explicit LogindPowerBackend(const QDBusConnection &bus);

    void powerOff() override;
    void reboot() override;

private:
    void call(const QString &method);

    std::optional<QDBusConnection> m_bus;
};
