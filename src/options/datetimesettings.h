#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class IMessageBoxes;
class IProcessLauncher;

/// The desktops' own date-and-time settings tools.
namespace DateTimeSettings {

struct Command {
    QString program; ///< full path, found in PATH
    QStringList arguments;
    bool operator==(const Command &) const = default;
};

/// The tool to start: the first one installed, trying the tools of the
/// session's own desktop first and then the rest of a fixed list (GNOME,
/// KDE, Xfce, MATE, Cinnamon, LXQt). A tool that refuses to run outside its
/// own desktop is only tried there. Nothing when none is installed.
std::optional<Command> find(const IProcessLauncher &launcher);

} // namespace DateTimeSettings

/// Starts the date-and-time settings tool, detached; when there is none or it
/// cannot be started, shows "打开错误，请重试！".
void OpenDateTimeSettings(IProcessLauncher &launcher, IMessageBoxes &messages);
