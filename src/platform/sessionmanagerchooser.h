#pragma once

#include <QStringList>

#include <optional>

/// The session managers that can end a desktop session and then switch the
/// computer off or restart it, in the order that settles a tie.
enum class SessionManagerKind {
    KdeShutdown, ///< Plasma's org.kde.Shutdown
    KsmServer,   ///< older Plasma's org.kde.ksmserver
    Xfce,        ///< org.xfce.SessionManager
    Lxqt,        ///< org.lxqt.session
    Cinnamon,    ///< Cinnamon under its own name, org.cinnamon.SessionManager
    Gnome,       ///< org.gnome.SessionManager: GNOME, Unity, Budgie, MATE, Cinnamon
};

/// Picks the session manager to ask from the names on the session bus:
/// `owned` (running now) and `activatable` (the bus starts them on demand;
/// Plasma starts org.kde.Shutdown that way, so it counts where Plasma's
/// org.kde.ksmserver runs). Where several desktops' managers are present, the
/// first entry of `currentDesktops` (XDG_CURRENT_DESKTOP) that names one of
/// them decides, and otherwise the order of SessionManagerKind. None: ask logind.
std::optional<SessionManagerKind> chooseSessionManager(const QStringList &owned,
                                                       const QStringList &activatable,
                                                       const QStringList &currentDesktops);

/// XDG_CURRENT_DESKTOP as a list.
QStringList currentDesktopsFromEnvironment();
