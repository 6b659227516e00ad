// Opens one window of the program, in a typical state, on the real display,
// for the integration tests, the screenshot scripts and manual looks:
//   zirvel_show_dialog WINDOW [--prompt TEXT] [--no-sound]
// WINDOW is one of the names in the table below, or "message", which shows
// TEXT in the real message box (the program's own look) and ends when it is
// closed. The windows run on the test fixture's fakes, but with the real
// message boxes and window system, on a fixed clock; --no-sound makes the
// sound player fail, so the missing-sound message shows. Prints
// "window <id>" when the window is on screen, and runs until it is closed.

#include "alarm/alarmdialog.h"
#include "alarm/alarmpopup.h"
#include "alarm/chimepopup.h"
#include "controlof.h"
#include "platform/qtmessageboxes.h"
#include "platform/windowsystem.h"
#include "settings/settingskeys.h"
#include "shutdown/shutdowndialog.h"
#include "shutdown/shutdownwarning.h"
#include "testenvironment.h"
#include "ui/aboutdialog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <vector>

namespace {

struct Setting {
    const char *key;
    const char *value;
};

struct Showcase {
    const char *name;
    QDateTime now;
    std::vector<Setting> settings;
    std::function<QWidget *(WindowTable &)> show;
};

const QDateTime Afternoon(QDate(2026, 12, 10), QTime(14, 0, 0));
const QDateTime LateEvening(QDate(2026, 12, 9), QTime(23, 50, 40));

// A daily shutdown at 22:30, switched on.
const std::vector<Setting> DailyShutdown = {{"chkclosetime", "1"},
                                            {"timer", "22:30:00"},
                                            {"hour", "22"},
                                            {"minute", "30"},
                                            {"chkopenclose", "1"}};

const Showcase Showcases[] = {
    {"frmAbout", Afternoon, {}, [](WindowTable &t) { return t.show<AboutDialog>(); }},
    {"frmTimer", Afternoon, {}, [](WindowTable &t) { return t.show<AlarmPopup>(); }},
    {"frmIntTime", Afternoon, {}, [](WindowTable &t) { return t.show<ChimePopup>(); }},
    {"frmSetTime",
     LateEvening,
     {{"itimer", "7:05:00"}, {"hour", "7"}, {"minute", "5"}, {"prompt", "起床了，该去上班了！"}},
     [](WindowTable &t) { return t.show<AlarmDialog>(); }},
    {"frmCloseWindows", LateEvening, DailyShutdown,
     [](WindowTable &t) { return t.show<ShutdownDialog>(); }},
    {"frmCloseWindows-countdown", LateEvening, DailyShutdown,
     [](WindowTable &t) {
         ShutdownDialog *w = t.show<ShutdownDialog>();
         controlOf<QRadioButton>(w, "OptCountDownStart")->setChecked(true);
         controlOf<QSlider>(w, "SliderLg")->setValue(30);
         return w;
     }},
    {"frmShutdownWarning",
     LateEvening,
     {},
     [](WindowTable &t) { return t.show<ShutdownWarning>(); }},
};

QString names()
{
    QStringList all;
    for (const Showcase &s : Showcases)
        all << QLatin1String(s.name);
    all << QStringLiteral("message");
    return all.join(QLatin1Char('|'));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zirvel"));
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("window"), names());
    parser.addOption(
        {QStringLiteral("prompt"), QStringLiteral("alarm message"), QStringLiteral("text")});
    parser.addOption({QStringLiteral("no-sound"), QStringLiteral("the sound cannot be started")});
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    const QString which = args.value(0);
    if (which == QLatin1String("message")) {
        QtMessageBoxes boxes;
        static_cast<IMessageBoxes &>(boxes).show(parser.value(QStringLiteral("prompt")));
        return 0;
    }
    const auto showcase =
        std::find_if(std::begin(Showcases), std::end(Showcases),
                     [&](const Showcase &s) { return which == QLatin1String(s.name); });
    if (args.size() != 1 || showcase == std::end(Showcases)) {
        std::fprintf(stderr, "usage: zirvel_show_dialog %s\n", qPrintable(names()));
        return 2;
    }

    TestEnvironment env;
    QtMessageBoxes messages;
    X11WindowSystem windows;
    env.table->services().messages = &messages;
    env.table->services().windows = &windows;
    env.clock.set(showcase->now);
    if (parser.isSet(QStringLiteral("no-sound")))
        env.sound.answer = SoundStart::fileUnreadable();
    for (const Setting &s : showcase->settings)
        env.store->save(QString::fromLatin1(Keys::Section), QString::fromLatin1(s.key),
                        QString::fromUtf8(s.value));
    if (parser.isSet(QStringLiteral("prompt")))
        env.store->save(QString::fromLatin1(Keys::Section), QString::fromLatin1(Keys::Prompt),
                        parser.value(QStringLiteral("prompt")));

    QWidget *shown = showcase->show(*env.table);
    QObject::connect(env.table.get(), &WindowTable::windowUnloaded, &app, &QApplication::quit);
    QTimer::singleShot(300, shown, [shown] {
        std::printf("window %llu\n", static_cast<unsigned long long>(shown->winId()));
        std::fflush(stdout);
    });
    return app.exec();
}
