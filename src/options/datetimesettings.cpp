#include "options/datetimesettings.h"

#include "platform/messageboxes.h"
#include "platform/processlauncher.h"

#include <QList>

namespace DateTimeSettings {

namespace {

struct Tool {
    QStringList desktops; ///< XDG_CURRENT_DESKTOP names it belongs to
    QString program;
    QStringList arguments;
    bool onlyOnItsDesktop = false;
};

const QList<Tool> &tools()
{
    static const QList<Tool> list = {
        // Exits at once unless XDG_CURRENT_DESKTOP names GNOME or Unity.
        {{QStringLiteral("GNOME"), QStringLiteral("Unity")},
         QStringLiteral("gnome-control-center"),
         {QStringLiteral("datetime")},
         true},
        {{QStringLiteral("KDE")}, QStringLiteral("kcmshell6"), {QStringLiteral("kcm_clock")}},
        {{QStringLiteral("KDE")}, QStringLiteral("kcmshell5"), {QStringLiteral("kcm_clock")}},
        {{QStringLiteral("KDE")}, QStringLiteral("systemsettings"), {QStringLiteral("kcm_clock")}},
        {{QStringLiteral("XFCE")}, QStringLiteral("time-admin"), {}},
        {{QStringLiteral("MATE")}, QStringLiteral("mate-time-admin"), {}},
        {{QStringLiteral("X-Cinnamon")},
         QStringLiteral("cinnamon-settings"),
         {QStringLiteral("calendar")}},
        {{QStringLiteral("LXQt")}, QStringLiteral("lxqt-admin-time"), {}},
    };
    return list;
}

bool belongsTo(const Tool &tool, const QString &desktop)
{
    // gnome-control-center compares with case; the others do not care.
    const Qt::CaseSensitivity cs = tool.onlyOnItsDesktop ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return tool.desktops.contains(desktop, cs);
}

} // namespace

std::optional<Command> find(const IProcessLauncher &launcher)
{
    const QStringList desktops = launcher.currentDesktops();
    QList<const Tool *> order;
    for (const QString &desktop : desktops) {
        for (const Tool &tool : tools()) {
            if (belongsTo(tool, desktop) && !order.contains(&tool))
                order.append(&tool);
        }
    }
    for (const Tool &tool : tools()) {
        if (!tool.onlyOnItsDesktop && !order.contains(&tool))
            order.append(&tool);
    }

    for (const Tool *tool : std::as_const(order)) {
        const QString path = launcher.findExecutable(tool->program);
        if (!path.isEmpty())
            return Command{path, tool->arguments};
    }
    return std::nullopt;
}

} // namespace DateTimeSettings

void OpenDateTimeSettings(IProcessLauncher &launcher, IMessageBoxes &messages)
{
    const std::optional<DateTimeSettings::Command> tool = DateTimeSettings::find(launcher);
    if (!tool || !launcher.startDetached(tool->program, tool->arguments))
        messages.show(QStringLiteral("打开错误，请重试！"));
}
