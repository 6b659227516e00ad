#pragma once

#include "platform/poweractions.h"

#include <QDBusConnection>

/// Power-off and reboot through systemd-logind on the system bus.
class LogindPowerBackend final : public IPowerBackend {
public:
    explicit LogindPowerBackend(const QDBusConnection &bus = QDBusConnection::systemBus());

    void powerOff() override;
    void reboot() override;

private:
    void call(const QString &method);

    QDBusConnection m_bus;
};
