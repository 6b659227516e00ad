// Opens one dialog under the real display for screenshots and manual looks:
//   zirvel_show_dialog frmAbout|frmTimer|frmIntTime [--prompt TEXT] [--no-sound]
//   zirvel_show_dialog message --prompt TEXT
// Runs on a fixed clock (14:00:00) and a silent sound player; --no-sound
// makes the player fail, so the missing-sound message shows. Prints
// "window <id>" when the dialog is on screen, and runs until killed.
// "message" shows TEXT in the real message box (the program's own look) and
// ends when it is closed.

#include "alarm/frminttime.h"
#include "alarm/frmtimer.h"
#include "fakeclock.h"
#include "fakes.h"
#include "platform/qtmessageboxes.h"
#include "platform/windowsystem.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "ui/frmabout.h"
#include "ui/windowtable.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zirvel"));
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("window"),
                                 QStringLiteral("frmAbout, frmTimer, frmIntTime or message"));
    parser.addOption(
        {QStringLiteral("prompt"), QStringLiteral("alarm message"), QStringLiteral("text")});
    parser.addOption({QStringLiteral("no-sound"), QStringLiteral("the sound cannot be started")});
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: zirvel_show_dialog frmAbout|frmTimer|frmIntTime|message\n");
        return 2;
    }
    if (args[0] == QLatin1String("message")) {
        QtMessageBoxes boxes;
        static_cast<IMessageBoxes &>(boxes).show(parser.value(QStringLiteral("prompt")));
        return 0;
    }

    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("Zirvel.conf")));
    store.save(QString::fromLatin1(Keys::Section), QString::fromLatin1(Keys::Prompt),
               parser.value(QStringLiteral("prompt")));

    FakeClock clock(QDateTime(QDate(2026, 12, 10), QTime(14, 0, 0)));
    QtMessageBoxes messages;
    X11WindowSystem windows;
    FakeSoundPlayer sound;
    if (parser.isSet(QStringLiteral("no-sound")))
        sound.answer = SoundStart::fileUnreadable();
    FakePowerBackend power;
    Services services;
    services.clock = &clock;
    services.messages = &messages;
    services.windows = &windows;
    services.sound = &sound;
    services.power = &power;
    WindowTable table(services, store);

    QWidget *shown = nullptr;
    if (args[0] == QLatin1String("frmAbout"))
        shown = table.show<frmAbout>();
    else if (args[0] == QLatin1String("frmTimer"))
        shown = table.show<frmTimer>();
    else if (args[0] == QLatin1String("frmIntTime"))
        shown = table.show<frmIntTime>();
    if (!shown) {
        std::fprintf(stderr, "unknown window %s\n", qPrintable(args[0]));
        return 2;
    }
    QObject::connect(&table, &WindowTable::windowUnloaded, &app, &QApplication::quit);
    QTimer::singleShot(300, shown, [shown] {
        std::printf("window %llu\n", static_cast<unsigned long long>(shown->winId()));
        std::fflush(stdout);
    });
    return app.exec();
}
