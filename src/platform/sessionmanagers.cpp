#include "platform/sessionmanagers.h"

namespace {

using std::chrono::milliseconds;

BusClient::Deadline within(milliseconds t)
{
    return std::chrono::steady_clock::now() + t;
}

bool off(PowerRequest what)
{
    return what == PowerRequest::PowerOff;
}

/// GNOME and the session managers that took its interface over (MATE,
/// Cinnamon, Unity's), under `name` at the path named after it.
/// https://gitlab.gnome.org/GNOME/gnome-session/-/blob/main/gnome-session/org.gnome.SessionManager.xml
class GnomeSessionManager final : public SessionManager {
public:
    explicit GnomeSessionManager(QString name) : m_name(std::move(name)) {}
    QString service() const override { return m_name; }

    BusReply request(BusClient &bus, PowerRequest what, milliseconds t) const override
    {
        // MATE's, Cinnamon's and Unity's managers: RequestShutdown / RequestReboot,
        // "with no dialog" (mate-session and cinnamon-session interface files).
        BusReply reply =
            bus.call(callOf(off(what) ? "RequestShutdown" : "RequestReboot"), within(t));
        if (reply.status != BusReply::Status::Error ||
            reply.errorName != QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
            return reply;
        // GNOME's own has only Shutdown / Reboot. Its answer waits until the
        // session ends or the user cancels the desktop's own end-session
        // dialog, so a missing answer means the request is in the desktop's hands.
        reply = bus.call(callOf(off(what) ? "Shutdown" : "Reboot"), within(t));
        if (reply.status == BusReply::Status::NoAnswer || cancelledByUser(reply))
            return {};
        return reply;
    }

private:
    BusCall callOf(const char *method) const
    {
        return {m_name,
                QLatin1Char('/') + QString(m_name).replace(QLatin1Char('.'), QLatin1Char('/')),
                m_name,
                QString::fromLatin1(method),
                {}};
    }
    /// The user pressed Cancel in the desktop's dialog: GLib's G_IO_ERROR_CANCELLED.
    static bool cancelledByUser(const BusReply &reply)
    {
        return reply.status == BusReply::Status::Error &&
               reply.errorName.endsWith(QLatin1String("g_2dio_2derror_2dquark.Code19"));
    }

    QString m_name;
};

/// Plasma: logoutAndShutdown / logoutAndReboot, which log out without a
/// confirmation and then act. The bus starts the service on demand.
/// https://invent.kde.org/plasma/plasma-workspace/-/blob/master/startkde/plasma-shutdown/org.kde.Shutdown.xml
class KdeShutdown final : public SessionManager {
public:
    QString service() const override { return QStringLiteral("org.kde.Shutdown"); }
    BusReply request(BusClient &bus, PowerRequest what, milliseconds t) const override
    {
        return bus.call(
            {service(),
             QStringLiteral("/Shutdown"),
             QStringLiteral("org.kde.Shutdown"),
             off(what) ? QStringLiteral("logoutAndShutdown") : QStringLiteral("logoutAndReboot"),
             {}},
            within(t));
    }
};

/// Plasma before org.kde.Shutdown: logout(confirm, type, mode) with
/// ShutdownConfirmNo (0), ShutdownTypeHalt (2) or ShutdownTypeReboot (1), and
/// ShutdownModeDefault (-1), never ShutdownModeForceNow.
/// plasma-workspace 5.27, ksmserver/org.kde.KSMServerInterface.xml and libkworkspace/kworkspace.h.
class KsmServer final : public SessionManager {
public:
    QString service() const override { return QStringLiteral("org.kde.ksmserver"); }
    BusReply request(BusClient &bus, PowerRequest what, milliseconds t) const override
    {
        return bus.call({service(),
                         QStringLiteral("/KSMServer"),
                         QStringLiteral("org.kde.KSMServerInterface"),
                         QStringLiteral("logout"),
                         {0, off(what) ? 2 : 1, -1}},
                        within(t));
    }
};

/// Xfce: Shutdown(allow_save) / Restart(allow_save), saving allowed.
/// https://gitlab.xfce.org/xfce/xfce4-session/-/blob/master/xfce4-session/xfsm-manager-dbus.xml
class XfceSessionManager final : public SessionManager {
public:
    QString service() const override { return QStringLiteral("org.xfce.SessionManager"); }
    BusReply request(BusClient &bus, PowerRequest what, milliseconds t) const override
    {
        return bus.call({service(),
                         QStringLiteral("/org/xfce/SessionManager"),
                         QStringLiteral("org.xfce.Session.Manager"),
                         off(what) ? QStringLiteral("Shutdown") : QStringLiteral("Restart"),
                         {true}},
                        within(t));
    }
};

/// LXQt: powerOff() / reboot(), declared without a reply (Q_NOREPLY): the
/// session logs out first and may be gone before any answer could come.
/// https://github.com/lxqt/lxqt-session/blob/master/lxqt-session/src/sessiondbusadaptor.h
class LxqtSession final : public SessionManager {
public:
    QString service() const override { return QStringLiteral("org.lxqt.session"); }
    BusReply request(BusClient &bus, PowerRequest what, milliseconds t) const override
    {
        BusCall call{service(),
                     QStringLiteral("/LXQtSession"),
                     QStringLiteral("org.lxqt.session"),
                     off(what) ? QStringLiteral("powerOff") : QStringLiteral("reboot"),
                     {}};
        call.expectReply = false;
        return bus.call(call, within(t));
    }
};

} // namespace

std::unique_ptr<SessionManager> makeSessionManager(SessionManagerKind kind)
{
    switch (kind) {
    case SessionManagerKind::KdeShutdown:
        return std::make_unique<KdeShutdown>();
    case SessionManagerKind::KsmServer:
        return std::make_unique<KsmServer>();
    case SessionManagerKind::Xfce:
        return std::make_unique<XfceSessionManager>();
    case SessionManagerKind::Lxqt:
        return std::make_unique<LxqtSession>();
    case SessionManagerKind::Cinnamon:
        return std::make_unique<GnomeSessionManager>(QStringLiteral("org.cinnamon.SessionManager"));
    case SessionManagerKind::Gnome:
        return std::make_unique<GnomeSessionManager>(QStringLiteral("org.gnome.SessionManager"));
    }
    return nullptr;
}
