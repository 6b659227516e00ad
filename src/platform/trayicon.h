#pragma once

#include "platform/trayactivation.h"

#include <QIcon>

#include <functional>
#include <memory>

class QSystemTrayIcon;

/// The program's one icon in the desktop's notification area: no tooltip,
/// one picture, three mouse notifications.
class ITrayIcon {
public:
    using Handler = std::function<void(TrayActivation)>;
    virtual ~ITrayIcon() = default;
    /// Puts the icon into the notification area. Notifications reach the
    /// handler from the event loop, never from inside the icon's own event
    /// handling, so the handler may remove the icon. False when there is no
    /// notification area to put it in; nothing is shown then.
    virtual bool add(const QIcon &icon, Handler onActivated) = 0;
    /// Takes the icon out again; no more notifications.
    virtual void remove() = 0;
};

/// QSystemTrayIcon: a StatusNotifierItem where the desktop offers one, else
/// an XEmbed icon in the freedesktop system tray.
class SystemTrayIcon final : public ITrayIcon {
public:
    SystemTrayIcon();
    ~SystemTrayIcon() override;
    bool add(const QIcon &icon, Handler onActivated) override;
    void remove() override;

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
    Handler m_handler;
};
