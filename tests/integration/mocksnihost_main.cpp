// A stand-in for a desktop's panel that shows StatusNotifierItems, for
// integration tests on a private session bus.
//
//   mock_sni_host BUS watch DIR [--no-host]
//       Owns org.kde.StatusNotifierWatcher on the bus at address BUS and acts
//       as the host: prints "ready" once it owns the name, appends
//       "registered ITEM" / "unregistered ITEM" lines to DIR/items, and keeps
//       the registered item's menu the way a panel does, from GetLayout and
//       the menu's update signals, in DIR/menu (rewritten on every change).
//       With --no-host it says that no host is registered.
//   mock_sni_host BUS props ITEM         the item's properties, one per line
//   mock_sni_host BUS menu ITEM          its menu, read afresh with GetLayout
//   mock_sni_host BUS click ITEM LABEL   Event(id, "clicked") on that item
//   mock_sni_host BUS activate ITEM [N]  N Activate calls sent back to back
//   mock_sni_host BUS secondary ITEM     SecondaryActivate (middle click)
//   mock_sni_host BUS context ITEM       ContextMenu, as hosts without menus do
//
// ITEM is "SERVICE/PATH" as the watcher lists it. A menu line is
// "1<TAB>caption" for an enabled item, "0<TAB>caption" for a disabled one.
// Refuses to start when the watcher's name is taken, so it never replaces a
// real desktop's watcher.
// https://www.freedesktop.org/wiki/Specifications/StatusNotifierItem/
// https://github.com/AyatanaIndicators/libdbusmenu/blob/master/libdbusmenu-glib/dbus-menu.xml

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDateTime>
#include <QFile>
#include <QMap>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString MenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

struct ItemAddress {
    QString service;
    QString path;
};

ItemAddress splitItem(const QString &item)
{
    const qsizetype slash = item.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {item, QStringLiteral("/StatusNotifierItem")};
    return {item.left(slash), item.mid(slash)};
}

/// One entry of a dbusmenu layout: (ia{sv}av).
struct MenuNode {
    int id = 0;
    QVariantMap properties;
    QList<MenuNode> children;
};

MenuNode readNode(const QDBusArgument &arg)
{
    MenuNode node;
    arg.beginStructure();
    arg >> node.id >> node.properties;
    arg.beginArray();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        node.children << readNode(qvariant_cast<QDBusArgument>(child.variant()));
    }
    arg.endArray();
    arg.endStructure();
    return node;
}

/// The top-level items of the menu, as "enabled<TAB>caption" lines. The
/// "enabled" property defaults to true when absent, as the protocol says.
QStringList menuLines(const QList<MenuNode> &items)
{
    QStringList lines;
    for (const MenuNode &item : items) {
        if (item.properties.value(QStringLiteral("visible"), true).toBool() == false)
            continue;
        const bool enabled = item.properties.value(QStringLiteral("enabled"), true).toBool();
        lines << QStringLiteral("%1\t%2")
                     .arg(enabled ? 1 : 0)
                     .arg(item.properties.value(QStringLiteral("label")).toString());
    }
    return lines;
}

QDBusMessage call(QDBusConnection bus, const ItemAddress &at, const QString &interface,
                  const QString &method, const QVariantList &args = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(at.service, at.path, interface, method);
    message.setArguments(args);
    return bus.call(message, QDBus::Block, 5000);
}

QVariant property(QDBusConnection bus, const ItemAddress &at, const QString &interface,
                  const QString &name, QString *error = nullptr)
{
    const QDBusMessage reply =
        call(bus, at, PropertiesInterface, QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if (error)
            *error = reply.errorName();
        return {};
    }
    return qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant();
}

/// GetLayout(0, -1, []) of the menu at `at`; false with a message on failure.
bool fetchLayout(QDBusConnection bus, const ItemAddress &at, QList<MenuNode> &items, QString &error)
{
    const QDBusMessage reply =
        call(bus, at, MenuInterface, QStringLiteral("GetLayout"), {0, -1, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
        error = reply.errorName() + QLatin1Char(' ') + reply.errorMessage();
        return false;
    }
    items = readNode(qvariant_cast<QDBusArgument>(reply.arguments().at(1))).children;
    return true;
}

ItemAddress menuOf(QDBusConnection bus, const QString &item, QString &error)
{
    const ItemAddress at = splitItem(item);
    const QVariant menu = property(bus, at, ItemInterface, QStringLiteral("Menu"), &error);
    return {at.service, qvariant_cast<QDBusObjectPath>(menu).path()};
}

/// The watcher, and the host that shows the registered item's menu.
class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    Watcher(QDBusConnection bus, QString dir, bool host)
        : m_bus(bus), m_dir(std::move(dir)), m_host(host),
          m_owners(QString(), bus, QDBusServiceWatcher::WatchForUnregistration)
    {
        connect(&m_owners, &QDBusServiceWatcher::serviceUnregistered, this, &Watcher::serviceGone);
    }

    QStringList registeredItems() const { return m_items; }
    bool isHostRegistered() const { return m_host; }
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString &serviceOrPath, const QDBusMessage &message)
    {
        // A path means the item lives on the caller's own connection.
        const bool isPath = serviceOrPath.startsWith(QLatin1Char('/'));
        const QString service = isPath ? message.service() : serviceOrPath;
        const QString path = isPath ? serviceOrPath : QStringLiteral("/StatusNotifierItem");
        const QString item = service + path;
        if (m_items.contains(item))
            return;
        m_items << item;
        m_owners.addWatchedService(service);
        log(QStringLiteral("registered ") + item);
        emit StatusNotifierItemRegistered(item);
        showMenuOf(item);
    }
    void RegisterStatusNotifierHost(const QString &) { m_host = true; }

signals:
    void StatusNotifierItemRegistered(const QString &item);
    void StatusNotifierItemUnregistered(const QString &item);
    void StatusNotifierHostRegistered();

private slots:
    void layoutUpdated(uint, int) { refetchMenu(); }
    void itemsPropertiesUpdated(const QDBusMessage &signal)
    {
        // a(ia{sv}) updated, a(ias) removed: apply the updated values to
        // the menu kept here, as a panel does, without asking again.
        const QDBusArgument updated = qvariant_cast<QDBusArgument>(signal.arguments().value(0));
        updated.beginArray();
        while (!updated.atEnd()) {
            int id = 0;
            QVariantMap properties;
            updated.beginStructure();
            updated >> id >> properties;
            updated.endStructure();
            for (MenuNode &node : m_menu) {
                if (node.id != id)
                    continue;
                for (auto it = properties.cbegin(); it != properties.cend(); ++it)
                    node.properties.insert(it.key(), it.value());
            }
        }
        updated.endArray();
        const QDBusArgument removed = qvariant_cast<QDBusArgument>(signal.arguments().value(1));
        removed.beginArray();
        while (!removed.atEnd()) {
            int id = 0;
            QStringList names;
            removed.beginStructure();
            removed >> id >> names;
            removed.endStructure();
            for (MenuNode &node : m_menu) {
                if (node.id == id) {
                    for (const QString &name : names)
                        node.properties.remove(name);
                }
            }
        }
        removed.endArray();
        writeMenu();
    }

private:
    void serviceGone(const QString &service)
    {
        for (const QString &item : QStringList(m_items)) {
            if (splitItem(item).service != service)
                continue;
            m_items.removeAll(item);
            log(QStringLiteral("unregistered ") + item);
            emit StatusNotifierItemUnregistered(item);
        }
        m_owners.removeWatchedService(service);
    }

    void showMenuOf(const QString &item)
    {
        QString error;
        m_menuAt = menuOf(m_bus, item, error);
        if (!error.isEmpty() || m_menuAt.path.isEmpty() ||
            m_menuAt.path == QLatin1String("/NO_DBUSMENU")) {
            log(QStringLiteral("no menu ") + m_menuAt.path + QLatin1Char(' ') + error);
            return;
        }
        m_bus.connect(m_menuAt.service, m_menuAt.path, MenuInterface,
                      QStringLiteral("LayoutUpdated"), this, SLOT(layoutUpdated(uint, int)));
        m_bus.connect(m_menuAt.service, m_menuAt.path, MenuInterface,
                      QStringLiteral("ItemsPropertiesUpdated"), this,
                      SLOT(itemsPropertiesUpdated(QDBusMessage)));
        refetchMenu();
    }

    void refetchMenu()
    {
        QString error;
        if (!fetchLayout(m_bus, m_menuAt, m_menu, error)) {
            log(QStringLiteral("GetLayout failed: ") + error);
            return;
        }
        writeMenu();
    }

    void writeMenu()
    {
        QSaveFile file(m_dir + QStringLiteral("/menu"));
        if (!file.open(QIODevice::WriteOnly))
            return;
        const QStringList lines = menuLines(m_menu);
        file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        file.commit();
    }

    void log(const QString &line)
    {
        QFile file(m_dir + QStringLiteral("/items"));
        if (file.open(QIODevice::Append))
            file.write(line.toUtf8() + '\n');
    }

    QDBusConnection m_bus;
    QString m_dir;
    bool m_host;
    QDBusServiceWatcher m_owners;
    QStringList m_items;
    ItemAddress m_menuAt;
    QList<MenuNode> m_menu;
};

int watch(QDBusConnection bus, const QString &dir, bool host)
{
    Watcher watcher(bus, dir, host);
    if (!bus.registerObject(WatcherPath, &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(WatcherService)) {
        std::fprintf(stderr, "mock_sni_host: cannot own %s\n", qPrintable(WatcherService));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

int printProperties(QDBusConnection bus, const QString &item)
{
    const ItemAddress at = splitItem(item);
    QTextStream out(stdout);
    for (const char *name : {"Id", "Status", "Category", "Title", "IconName", "Menu"}) {
        QString error;
        const QVariant value = property(bus, at, ItemInterface, QString::fromLatin1(name), &error);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "mock_sni_host: %s: %s\n", name, qPrintable(error));
            return 1;
        }
        const QString text = value.userType() == qMetaTypeId<QDBusObjectPath>()
                                 ? qvariant_cast<QDBusObjectPath>(value).path()
                                 : value.toString();
        out << name << '=' << text << '\n';
    }
    // a(iiay): one picture per size, ARGB32 in network byte order.
    const QVariant pixmaps = property(bus, at, ItemInterface, QStringLiteral("IconPixmap"));
    const QDBusArgument arg = qvariant_cast<QDBusArgument>(pixmaps);
    QStringList sizes;
    arg.beginArray();
    while (!arg.atEnd()) {
        int width = 0, height = 0;
        QByteArray data;
        arg.beginStructure();
        arg >> width >> height >> data;
        arg.endStructure();
        bool drawn = false;
        for (qsizetype i = 0; i + 3 < data.size(); i += 4)
            drawn = drawn || data.at(i) != 0; // some pixel with alpha
        if (data.size() == qsizetype(width) * height * 4 && drawn)
            sizes << QStringLiteral("%1x%2").arg(width).arg(height);
    }
    arg.endArray();
    out << "IconPixmap=" << sizes.join(QLatin1Char(',')) << '\n';
    return 0;
}

int printMenu(QDBusConnection bus, const QString &item)
{
    QString error;
    const ItemAddress at = menuOf(bus, item, error);
    QList<MenuNode> items;
    if (error.isEmpty() && !fetchLayout(bus, at, items, error)) {
        std::fprintf(stderr, "mock_sni_host: %s\n", qPrintable(error));
        return 1;
    }
    QTextStream(stdout) << menuLines(items).join(QLatin1Char('\n')) << '\n';
    return 0;
}

int click(QDBusConnection bus, const QString &item, const QString &label)
{
    QString error;
    const ItemAddress at = menuOf(bus, item, error);
    QList<MenuNode> items;
    if (!error.isEmpty() || !fetchLayout(bus, at, items, error)) {
        std::fprintf(stderr, "mock_sni_host: %s\n", qPrintable(error));
        return 1;
    }
    for (const MenuNode &node : items) {
        if (node.properties.value(QStringLiteral("label")).toString() != label)
            continue;
        const QDBusMessage reply =
            call(bus, at, MenuInterface, QStringLiteral("Event"),
                 {node.id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)),
                  uint(QDateTime::currentSecsSinceEpoch())});
        return reply.type() == QDBusMessage::ReplyMessage ? 0 : 1;
    }
    std::fprintf(stderr, "mock_sni_host: no item \"%s\"\n", qPrintable(label));
    return 1;
}

/// Sends `count` calls of `method` without waiting between them, the way a
/// panel passes on a quick double click, then waits for every reply.
int send(QDBusConnection bus, const QString &item, const QString &method, int count)
{
    const ItemAddress at = splitItem(item);
    QList<QDBusPendingCall> pending;
    for (int i = 0; i < count; ++i) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(at.service, at.path, ItemInterface, method);
        message.setArguments({0, 0});
        pending << bus.asyncCall(message, 5000);
    }
    for (QDBusPendingCall &reply : pending) {
        reply.waitForFinished();
        if (reply.isError()) {
            std::fprintf(stderr, "mock_sni_host: %s: %s\n", qPrintable(method),
                         qPrintable(reply.error().message()));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: mock_sni_host BUS-ADDRESS watch DIR [--no-host] | "
                             "props|menu|activate|secondary|context ITEM | click ITEM LABEL\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(args.at(0), QStringLiteral("mock"));
    if (!bus.isConnected()) {
        std::fprintf(stderr, "mock_sni_host: no bus at %s\n", qPrintable(args.at(0)));
        return 1;
    }
    const QString command = args.at(1);
    const QString target = args.at(2);
    if (command == u"watch")
        return watch(bus, target, !args.contains(QStringLiteral("--no-host")));
    if (command == u"props")
        return printProperties(bus, target);
    if (command == u"menu")
        return printMenu(bus, target);
    if (command == u"click" && args.size() == 4)
        return click(bus, target, args.at(3));
    if (command == u"activate")
        return send(bus, target, QStringLiteral("Activate"),
                    args.size() > 3 ? args.at(3).toInt() : 1);
    if (command == u"secondary")
        return send(bus, target, QStringLiteral("SecondaryActivate"), 1);
    if (command == u"context")
        return send(bus, target, QStringLiteral("ContextMenu"), 1);
    std::fprintf(stderr, "mock_sni_host: unknown command %s\n", qPrintable(command));
    return 2;
}

#include "mocksnihost_main.moc"
