// Shows one dialog in a typical state, on fake services, until it is killed:
// the screenshot script photographs it under a private X server.
//   dialog_showcase frmSetTime | frmCloseWindows | frmCloseWindows-countdown
//                   | frmShutdownWarning
#include "alarm/frmsettime.h"
#include "shutdown/frmclosewindows.h"
#include "shutdown/frmshutdownwarning.h"
#include "testenvironment.h"

#include <QApplication>
#include <QRadioButton>
#include <QSlider>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    TestEnvironment env;
    env.clock.set(QDateTime(QDate(2026, 12, 9), QTime(23, 50, 40)));
    auto save = [&](const char *key, const QString &value) {
        env.store->save(QStringLiteral("Settings"), QString::fromLatin1(key), value);
    };

    if (which == QLatin1String("frmSetTime")) {
        save("hour", "7");
        save("minute", "5");
        save("prompt", QStringLiteral("起床了，该去上班了！"));
        env.table->show<frmSetTime>();
    } else if (which.startsWith(QLatin1String("frmCloseWindows"))) {
        save("chkclosetime", "1");
        save("hour", "22");
        save("minute", "30");
        save("chkopenclose", "1");
        frmCloseWindows *w = env.table->show<frmCloseWindows>();
        if (which.endsWith(QLatin1String("-countdown"))) {
            w->OptCountDownStart->setChecked(true);
            w->SliderLg->setValue(30);
        }
    } else if (which == QLatin1String("frmShutdownWarning")) {
        env.table->show<frmShutdownWarning>();
    } else {
        std::fprintf(stderr, "usage: dialog_showcase frmSetTime|frmCloseWindows"
                             "|frmCloseWindows-countdown|frmShutdownWarning\n");
        return 2;
    }
    return app.exec();
}
