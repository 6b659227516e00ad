#pragma once

#include "platform/activationpairing.h"
#include "platform/trayactivation.h"

#include <QElapsedTimer>
#include <QIcon>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

/// The program's one icon in the desktop's notification area: no tooltip,
/// one picture, three mouse notifications, and the icon's menu.
class ITrayIcon {
public:
    using Handler = std::function<void(TrayActivation)>;
    virtual ~ITrayIcon() = default;
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
class SystemTrayIcon final : public ITrayIcon {
public:
    SystemTrayIcon();
    ~SystemTrayIcon() override;
    bool add(const QIcon &icon, QMenu *menu, Handler onActivated) override;
    void remove() override;

private:
    void activated(int reason);

    std::unique_ptr<QSystemTrayIcon> m_icon;
    Handler m_handler;
    bool m_statusNotifierItem = false;
    ActivationPairing m_pairing;
    QElapsedTimer m_clock;
};
