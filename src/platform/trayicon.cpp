#include "platform/trayicon.h"

#include "platform/xembedtraywatch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QSystemTrayIcon>

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

/// Whether a StatusNotifierWatcher owns its name on the session bus now: the
/// question Qt asks when it makes its first tray icon.
bool watcherRegistered(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<bool> registered = bus.interface()->isServiceRegistered(WatcherService);
    return registered.isValid() && registered.value();
}

} // namespace

SystemTrayIcon::SystemTrayIcon()
{
    m_clock.start();
}

SystemTrayIcon::~SystemTrayIcon() = default;

void SystemTrayIcon::startWatching()
{
    // Not before the icon is first wanted: the session bus and the X
    // selection are asked only once there is an icon to show.
    if (m_watching)
        return;
    m_watching = true;
    m_context = std::make_unique<QObject>();
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        m_watcher = std::make_unique<QDBusServiceWatcher>(WatcherService, bus,
                                                          QDBusServiceWatcher::WatchForOwnerChange);
        QObject::connect(m_watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged,
                         m_context.get(),
                         [this](const QString &, const QString &, const QString &newOwner) {
                             m_watcherOwned = !newOwner.isEmpty();
                             hostsChanged();
                         });
        m_watcherOwned = watcherRegistered(bus);
    }
    m_xembed = std::make_unique<XEmbedTrayWatch>([this] { hostsChanged(); });
    m_lastAvailable = isAvailable();
}

bool SystemTrayIcon::isAvailable()
{
    startWatching();
    switch (m_kind) {
    case Kind::Unsettled:
        return m_watcherOwned || m_xembed->isOwned();
    case Kind::StatusNotifierItem:
        return m_watcherOwned;
    case Kind::XEmbed:
        return m_xembed->isOwned();
    }
    return false;
}

void SystemTrayIcon::watchAvailability(AvailabilityHandler onChange)
{
    startWatching();
    m_availabilityHandler = std::move(onChange);
}

void SystemTrayIcon::hostsChanged()
{
    const bool available = isAvailable();
    if (available == m_lastAvailable)
        return;
    m_lastAvailable = available;
    if (m_availabilityHandler)
        m_availabilityHandler(available);
}

bool SystemTrayIcon::add(const QIcon &icon, QMenu *menu, Handler onActivated)
{
    if (!isAvailable())
        return false;
    m_handler = std::move(onActivated);
    if (!m_icon) {
        // Qt settles its kind of icon for the run here (see the class
        // comment), by asking the bus just this.
        m_watcherOwned = watcherRegistered(QDBusConnection::sessionBus());
        m_kind = m_watcherOwned ? Kind::StatusNotifierItem : Kind::XEmbed;
        m_icon = std::make_unique<QSystemTrayIcon>();
        QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(QString());
    m_icon->show();
    // The XEmbed icon would pop a context menu up by itself on the right
    // button's press, outside the handler; there the handler shows it.
    if (m_kind == Kind::StatusNotifierItem && menu)
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
            m_kind == Kind::StatusNotifierItem
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
