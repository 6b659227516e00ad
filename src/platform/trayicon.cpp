#include "platform/trayicon.h"

#include <QSystemTrayIcon>

SystemTrayIcon::SystemTrayIcon() = default;

SystemTrayIcon::~SystemTrayIcon() = default;

bool SystemTrayIcon::add(const QIcon &icon, Handler onActivated)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    m_handler = std::move(onActivated);
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>();
        // Queued: the handler may pop up a menu with its own event loop or
        // remove the icon, neither of which may happen inside the icon's
        // mouse handler.
        QObject::connect(
            m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (!m_handler)
                    return;
                switch (reason) {
                case QSystemTrayIcon::Trigger:
                    m_handler(TrayActivation::LeftPress);
                    break;
                case QSystemTrayIcon::DoubleClick:
                    m_handler(TrayActivation::LeftDoubleClick);
                    break;
                case QSystemTrayIcon::Context:
                    m_handler(TrayActivation::RightRelease);
                    break;
                default:
                    break;
                }
            },
            Qt::QueuedConnection);
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(QString());
    m_icon->show();
    return true;
}

void SystemTrayIcon::remove()
{
    m_handler = nullptr;
    if (m_icon)
        m_icon->hide();
}
