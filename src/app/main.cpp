#include "app/displaycheck.h"
#include "app/singleinstance.h"
#include "app/unixsignals.h"
#include "autostart/xdgregistry.h"
#include "clock/frmclockmain.h"
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
#include "settings/settingsstore.h"
#include "tray/exitsequence.h"
#include "tray/frmmenu.h"
#include "ui/windowtable.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char *argv[])
{
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
        if (!instance.notifyRunning())
            std::fprintf(stderr,
                         "zirvel: a clock already runs on this display but did not answer\n");
        return 0;
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
    WindowTable table(services, store);
    table.setMainWindow<frmclockMain>();

    QObject::connect(&instance, &SingleInstance::activationRequested, &table,
                     [&table] { table.show<frmclockMain>(); });
    frmMenu::installClockMenu(table);
    UnixSignals signalWatch;
    QObject::connect(&signalWatch, &UnixSignals::terminationRequested, &app,
                     [&table] { exitProgram(table, ExitKind::Short); });

    table.window<frmclockMain>();
    return app.exec();
}
