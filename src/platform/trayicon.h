#pragma once

#include "platform/activationpairing.h"
#include "platform/trayactivation.h"

#include <QElapsedTimer>
#include <QIcon>

#include <functional>
#include <memory>

class QDBusServiceWatcher;
class QMenu;
class QObject;
class QSystemTrayIcon;
class XEmbedTrayWatch;

/// The program's one icon in the desktop's notification area: no tooltip,
/// one picture, three mouse notifications, and the icon's menu.
class ITrayIcon {
public:
    using Handler = std::function<void(TrayActivation)>;
    /// Told whether a notification area is there to take the icon.
    using AvailabilityHandler = std::function<void(bool available)>;
    virtual ~ITrayIcon() = default;
    /// Whether a notification area is there now to take the icon.
    virtual bool isAvailable() = 0;
    /// From now on `onChange` hears, from the event loop, each time a
    /// notification area appears or goes away: a panel that starts after the
    /// program, crashes or loses its tray applet. An icon that was shown goes
    /// with its area and is not shown again by itself. One listener; a new
    /// one (or none) replaces it.
    virtual void watchAvailability(AvailabilityHandler onChange) = 0;
    /// Puts the icon into the notification area. Notifications reach the
    /// handler from the event loop, never from inside the icon's own event
    /// handling, so the handler may remove the icon. False when there is no
    /// notification area to put it in; nothing is shown then.
    ///
    /// `menu` is published with the icon where the desktop shows the icon's
    /// menu itself (a StatusNotifierItem host reads it over DBusMenu, shows
    /// its items with their captions and enabled states as they change, and
    /// triggers the chosen action). Where it does not, the handler gets
    /// RightRelease and pops the menu up itself.
    virtual bool add(const QIcon &icon, QMenu *menu, Handler onActivated) = 0;
    /// Takes the icon out again; no more notifications.
    virtual void remove() = 0;
};

/// QSystemTrayIcon: a StatusNotifierItem where the desktop offers one, else
/// an XEmbed icon in the freedesktop system tray.
///
/// Qt settles which of the two it uses once a run, when the first tray icon
/// is made (or the first QSystemTrayIcon::isSystemTrayAvailable() call),
/// from whether a StatusNotifierWatcher owns its name on the session bus
/// then. So availability is followed here, not asked of Qt: before the first
/// icon either kind of host will do; afterwards only a host of the kind Qt
/// settled on can show it. The watcher's name is followed on the session
/// bus, the XEmbed tray through its X selection (XEmbedTrayWatch).
class SystemTrayIcon final : public ITrayIcon {
public:
    SystemTrayIcon();
    ~SystemTrayIcon() override;
    bool isAvailable() override;
    void watchAvailability(AvailabilityHandler onChange) override;
    bool add(const QIcon &icon, QMenu *menu, Handler onActivated) override;
    void remove() override;

private:
    enum class Kind { Unsettled, StatusNotifierItem, XEmbed };
    void startWatching();
    void hostsChanged();
    void activated(int reason);

    std::unique_ptr<QSystemTrayIcon> m_icon;
    Handler m_handler;
    Kind m_kind = Kind::Unsettled;
    AvailabilityHandler m_availabilityHandler;
    bool m_watching = false;
    bool m_watcherOwned = false; ///< a StatusNotifierWatcher is on the session bus
    bool m_lastAvailable = false;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    std::unique_ptr<XEmbedTrayWatch> m_xembed;
    std::unique_ptr<QObject> m_context; ///< drops re-evaluations still queued
    ActivationPairing m_pairing;
    QElapsedTimer m_clock;
};
