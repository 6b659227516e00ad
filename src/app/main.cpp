#include "app/clockapplication.h"
#include "app/commandline.h"
#include "app/commandlock.h"
#include "app/commandstore.h"
#include "app/displaycheck.h"
#include "app/singleinstance.h"
#include "autostart/xdgregistry.h"
#include "platform/canberrasoundplayer.h"
#include "platform/cddrive.h"
#include "platform/clock.h"
#include "platform/desktoppower.h"
#include "platform/processlauncher.h"
#include "platform/program.h"
#include "platform/qtmessageboxes.h"
#include "platform/sessionbusguard.h"
#include "platform/trayicon.h"
#include "platform/windowsystem.h"
#include "settings/featuresettings.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLoggingCategory>

#include <cstdio>

namespace {

using CommandLine::Command;
using CommandLine::Reply;

// Every byte, whatever the texts hold (fputs would stop at a NUL).
void print(const Reply &reply)
{
    const QByteArray out = reply.out.toLocal8Bit();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    const QByteArray err = reply.err.toLocal8Bit();
    std::fwrite(err.constData(), 1, size_t(err.size()), stderr);
}

/// A command with no clock running: the settings file alone. Commands from
/// two terminals at once take turns on a lock beside the file, so neither
/// loses the other's change.
Reply runOnStore(const Command &command)
{
    // The reply names the file and the reason; the store's own log line
    // would say it twice.
    QLoggingCategory::setFilterRules(QStringLiteral("zirvel.settings.warning=false"));
    const QDateTime now = SystemClock().now();
    if (command.kind == Command::Kind::Status) {
        const SettingsStore store;
        return Reply{CommandLine::Success, CommandStore::status(store, false, now), {}};
    }
    if (!command.changesSettings())
        return Reply{CommandLine::Success, {}, QStringLiteral("zirvel：时钟没有在运行\n")};
    const QString path = SettingsStore::defaultFilePath();
    const CommandLock lock(path);
    if (const QString refusal = lock.refusal(); !refusal.isEmpty())
        return Reply::failure(CommandLine::Failure, refusal);
    SettingsStore store(path); // read inside the lock
    FeatureSettings settings(store);
    Reply reply = CommandStore::apply(command, settings, now);
    if (reply.exitCode == CommandLine::Success && command.kind != Command::Kind::Cancel &&
        command.kind != Command::Kind::AlarmOff)
        reply.out += QStringLiteral("（时钟没有在运行：设置已保存，时钟运行时才会生效）\n");
    return reply;
}

/// A command other than starting or showing the clock: carried out by the
/// running clock, or on the settings alone; no window either way.
int runWithoutWindows(const Command &command, const QStringList &arguments, int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Zirvel"));
    SingleInstance instance(QStringLiteral("zirvel"));
    if (instance.runtimeFolderUnusable())
        SingleInstance::silenceRuntimeFolderWarnings();
    std::optional<Reply> reply = instance.send(arguments, SingleInstance::AnswerTimeMs);
    if (!reply)
        reply = runOnStore(command);
    print(*reply);
    return reply->exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Command command = CommandLine::parse(arguments);
    switch (command.kind) {
    case Command::Kind::Error:
        print(Reply::failure(CommandLine::Usage, command.error));
        return CommandLine::Usage;
    case Command::Kind::Help:
        print(Reply{CommandLine::Success, CommandLine::helpText(), {}});
        return CommandLine::Success;
    case Command::Kind::Version:
        print(Reply{CommandLine::Success, CommandLine::versionText(), {}});
        return CommandLine::Success;
    case Command::Kind::Start:
    case Command::Kind::Show:
        break; // the clock, below
    default:
        return runWithoutWindows(command, arguments, argc, argv);
    }

    if (const QString problem = prepareDisplay(); !problem.isEmpty()) {
        std::fprintf(stderr, "zirvel: %s\n", qPrintable(problem));
        return 1;
    }
    // Shared-memory images pay off for large windows only; for a strip that
    // repaints a few pixels once a second they cost an extra wake-up each time.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    SingleInstance instance(QStringLiteral("zirvel"));
    if (instance.runtimeFolderUnusable())
        SingleInstance::silenceRuntimeFolderWarnings();
    // Read before the guard below may point Qt away from a silent session bus:
    // power requests still try it (with a time limit) and say so when it is silent.
    const PowerBuses buses = PowerBuses::fromEnvironment();
    keepQtOffSilentSessionBus(buses.sessionAddress, DesktopPowerBackend::DefaultAnswerTime);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zirvel"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zirvel-32.png")));

    if (!instance.claim()) {
        if (command.kind == Command::Kind::Show) {
            if (const std::optional<Reply> reply =
                    instance.send(arguments, SingleInstance::AnswerTimeMs)) {
                print(*reply);
                return reply->exitCode;
            }
        } else if (instance.notifyRunning()) {
            return 0;
        }
        std::fprintf(stderr, "zirvel: a clock already runs on this display but did not answer\n");
        return command.kind == Command::Kind::Show ? CommandLine::Failure : 0;
    }
    if (!instance.warning().isEmpty())
        std::fprintf(stderr, "zirvel: %s\n", qPrintable(instance.warning()));

    SystemClock clock;
    QtMessageBoxes messages;
    X11WindowSystem windows;
    DesktopPowerBackend power(buses);
    SystemTrayIcon tray;
    LinuxCdDrive cdDrive;
    QtProgram program;
    XdgRegistry registry(AutostartFolders::standard(), messages);
    SystemProcessLauncher launcher;
    CanberraSoundPlayer sound;
    Services services;
    services.clock = &clock;
    services.messages = &messages;
    services.windows = &windows;
    services.power = &power;
    services.tray = &tray;
    services.cdDrive = &cdDrive;
    services.program = &program;
    services.registry = &registry;
    services.launcher = &launcher;
    services.sound = &sound;

    SettingsStore store;
    ClockApplication running(services, store, instance);
    running.start();
    return app.exec();
}
