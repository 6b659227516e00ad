#pragma once

#include "platform/poweractions.h"

#include <QDBusConnection>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPower)

/// Power-off and reboot through systemd-logind on the system bus. The calls
/// are asynchronous and never interactive: logind either acts or refuses,
/// and a refusal (no permission, an inhibitor, no logind, no bus) only goes
/// to the "zirvel.power" logging category, which is off by default
/// (QT_LOGGING_RULES="zirvel.power.warning=true" shows it).
class LogindPowerBackend final : public IPowerBackend {
public:
    /// The bus to call on; the system bus unless a test gives another.
    explicit LogindPowerBackend(const QDBusConnection &bus = QDBusConnection::systemBus());

    void powerOff() override;
    void reboot() override;

private:
    void call(const QString &method);

    QDBusConnection m_bus;
};
