#include "platform/sessionmanagerchooser.h"

namespace {

struct Candidate {
    SessionManagerKind kind;
    QString name; ///< present when owned, or activatable while `partner` is owned
    QString partner;
    QStringList desktops; ///< XDG_CURRENT_DESKTOP entries of the desktops that use it
};

const QList<Candidate> &candidates()
{
    // Desktop names: freedesktop.org menu rules, "Registered OnlyShowIn Environments".
    static const QList<Candidate> table = {
        {SessionManagerKind::KdeShutdown, "org.kde.Shutdown", "org.kde.ksmserver", {"KDE"}},
        {SessionManagerKind::KsmServer, "org.kde.ksmserver", {}, {"KDE"}},
        {SessionManagerKind::Xfce, "org.xfce.SessionManager", {}, {"XFCE"}},
        {SessionManagerKind::Lxqt, "org.lxqt.session", {}, {"LXQt"}},
        {SessionManagerKind::Cinnamon,
         "org.cinnamon.SessionManager",
         {},
         {"X-Cinnamon", "Cinnamon"}},
        {SessionManagerKind::Gnome,
         "org.gnome.SessionManager",
         {},
         {"GNOME", "GNOME-Classic", "GNOME-Flashback", "Unity", "Budgie", "MATE", "X-Cinnamon",
          "Cinnamon", "Pantheon"}},
    };
    return table;
}

} // namespace

std::optional<SessionManagerKind> chooseSessionManager(const QStringList &owned,
                                                       const QStringList &activatable,
                                                       const QStringList &currentDesktops)
{
    QList<const Candidate *> present;
    for (const Candidate &c : candidates()) {
        if (owned.contains(c.name) ||
            (!c.partner.isEmpty() && owned.contains(c.partner) && activatable.contains(c.name)))
            present << &c;
    }
    if (present.isEmpty())
        return std::nullopt;
    for (const QString &desktop : currentDesktops) {
        for (const Candidate *c : present) {
            if (c->desktops.contains(desktop, Qt::CaseInsensitive))
                return c->kind;
        }
    }
    return present.first()->kind;
}

QStringList currentDesktopsFromEnvironment()
{
    // freedesktop.org Desktop Entry rules, "Recognized desktop entry keys" (OnlyShowIn).
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
}
