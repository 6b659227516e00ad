#include "app/commandrunner.h"

#include "app/commandstore.h"
#include "clock/clockstrip.h"
#include "platform/clock.h"
#include "platform/messageboxes.h"
#include "settings/settingsstore.h"
#include "shutdown/shutdownwarning.h"
#include "tray/exitsequence.h"
#include "tray/traycontroller.h"
#include "ui/windowtable.h"

#include <QTimer>

namespace {

using CommandLine::Command;
using CommandLine::Reply;
using Kind = Command::Kind;

/// Stands in for the message boxes while a command runs: keeps the texts.
class TerminalMessages final : public IMessageBoxes {
public:
    void show(const QString &text, const QString &) override { texts << text; }
    QStringList texts;
};

} // namespace

Reply CommandRunner::run(const QStringList &arguments)
{
    TerminalMessages terminal;
    IMessageBoxes *boxes = m_table.services().messages;
    m_table.services().messages = &terminal;
    m_table.store().holdProblems(true);
    Reply reply = carryOut(CommandLine::parse(arguments));
    m_table.store().holdProblems(false);
    m_table.services().messages = boxes;
    QString shown;
    for (const QString &text : std::as_const(terminal.texts)) {
        shown += QStringLiteral("zirvel：") +
                 text.split(QLatin1Char('\r')).join(QStringLiteral("；")) + QLatin1Char('\n');
    }
    reply.err.prepend(shown);
    return reply;
}

Reply CommandRunner::carryOut(const Command &command)
{
    SettingsStore &store = m_table.store();
    const QDateTime now = m_table.services().clock->now();
    switch (command.kind) {
    case Kind::Error:
        return Reply::failure(CommandLine::Usage, command.error);
    case Kind::Help:
        return Reply{CommandLine::Success, CommandLine::helpText(), {}};
    case Kind::Version:
        return Reply{CommandLine::Success, CommandLine::versionText(), {}};
    case Kind::Start:
        m_table.show<ClockStrip>();
        return {};
    case Kind::Show:
        // As the icon menu's "转换到主窗口" when there is one, so its items
        // know the clock is back.
        if (TrayController *tray = m_table.loaded<TrayController>();
            tray && tray->switchBackToClock())
            return {};
        m_table.show<ClockStrip>();
        return {};
    case Kind::Hide: {
        // Only with an icon to bring it back from, as the menu item.
        TrayController *tray = m_table.window<TrayController>();
        if (!tray || !tray->hideToTray())
            return Reply::failure(CommandLine::Failure,
                                  QStringLiteral("zirvel：无法隐藏到任务栏：没有通知区域可放图标"));
        return {};
    }
    case Kind::Quit:
        // After the reply has gone out.
        QTimer::singleShot(0, &m_table,
                           [table = &m_table] { exitProgram(*table, ExitKind::Long); });
        return {};
    case Kind::Status:
        return Reply{CommandLine::Success, CommandStore::status(store, true, now), {}};
    case Kind::Cancel: {
        Reply reply = CommandStore::apply(command, m_table.features(), now);
        // A warning already counting down goes away without shutting down.
        if (auto *warning = m_table.loaded<ShutdownWarning>())
            m_table.unload(warning);
        return reply;
    }
    default:
        return CommandStore::apply(command, m_table.features(), now);
    }
}
