#include "mocksessionmanagers.h"

std::unique_ptr<MockBusService> mockSessionManager(const QString &family)
{
    if (family == "gnome")
        return std::make_unique<MockBusService>(
            "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
            QStringList{"Shutdown", "Reboot", "Logout"});
    if (family == "mate") // GNOME's name and interface, with the requests that show no dialog
        return std::make_unique<MockBusService>(
            "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
            QStringList{"Shutdown", "Logout", "RequestShutdown", "RequestReboot"});
    if (family == "cinnamon")
        return std::make_unique<MockBusService>(
            "org.cinnamon.SessionManager", "/org/cinnamon/SessionManager",
            "org.cinnamon.SessionManager",
            QStringList{"Shutdown", "Reboot", "RequestShutdown", "RequestReboot"});
    if (family == "kde")
        return std::make_unique<MockBusService>(
            "org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown",
            QStringList{"logout", "logoutAndShutdown", "logoutAndReboot", "saveSession"});
    if (family == "ksmserver")
        return std::make_unique<MockBusService>("org.kde.ksmserver", "/KSMServer",
                                                "org.kde.KSMServerInterface",
                                                QStringList{"logout", "canShutdown"});
    if (family == "xfce")
        return std::make_unique<MockBusService>(
            "org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager",
            QStringList{"Logout", "Shutdown", "Restart", "Suspend"});
    if (family == "lxqt")
        return std::make_unique<MockBusService>("org.lxqt.session", "/LXQtSession",
                                                "org.lxqt.session",
                                                QStringList{"logout", "powerOff", "reboot"});
    return nullptr;
}
