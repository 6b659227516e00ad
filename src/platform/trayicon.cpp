#include "platform/trayicon.h"

#include <QApplication>
#include <QMenu>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QWidget>

SystemTrayIcon::SystemTrayIcon()
{
    m_clock.start();
}

SystemTrayIcon::~SystemTrayIcon() = default;

bool SystemTrayIcon::add(const QIcon &icon, QMenu *menu, Handler onActivated)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    m_handler = std::move(onActivated);
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>();
        QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(QString());

    // Qt shows the icon either as an XEmbed window of its own in the system
    // tray or as a StatusNotifierItem on the session bus; which one it took
    // is seen from the window, which only the XEmbed icon has.
    const QWidgetList before = QApplication::topLevelWidgets();
    m_icon->show();
    m_statusNotifierItem = true;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (!before.contains(widget))
            m_statusNotifierItem = false;
    }
    // The XEmbed icon would pop a context menu up by itself on the right
    // button's press, outside the handler; there the handler shows it.
    if (m_statusNotifierItem && menu)
        m_icon->setContextMenu(menu);
    return true;
}

void SystemTrayIcon::activated(int reason)
{
    if (!m_handler)
        return;
    TrayActivation activation;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        // A StatusNotifierItem's Activate: one call per click. Timed here,
        // as it arrives, not when the queued handler runs.
        activation =
            m_statusNotifierItem
                ? m_pairing.activate(m_clock.elapsed(),
                                     QGuiApplication::styleHints()->mouseDoubleClickInterval())
                : TrayActivation::LeftPress;
        break;
    case QSystemTrayIcon::DoubleClick:
        activation = TrayActivation::LeftDoubleClick;
        break;
    case QSystemTrayIcon::Context:
        activation = TrayActivation::RightRelease;
        break;
    default:
        // The middle button (a StatusNotifierItem's SecondaryActivate) and
        // anything else do nothing.
        return;
    }
    // Queued: the handler may pop up a menu with its own event loop or
    // remove the icon, neither of which may happen inside the icon's mouse
    // handler or a D-Bus call.
    QMetaObject::invokeMethod(
        m_icon.get(),
        [this, activation] {
            if (m_handler)
                m_handler(activation);
        },
        Qt::QueuedConnection);
}

void SystemTrayIcon::remove()
{
    m_handler = nullptr;
    if (m_icon)
        m_icon->hide();
}
