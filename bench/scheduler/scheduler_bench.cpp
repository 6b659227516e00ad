// Prints the cost of the scheduler tick; not a test (see CMakeLists.txt).

#include "clock/duecheck.h"
#include "settings/settingsstore.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main()
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("Zirvel.conf")));
    const QString section = QStringLiteral("Settings");
    store.save(section, QStringLiteral("chkinttime"), QStringLiteral("1"));
    store.save(section, QStringLiteral("chkopenclose"), QStringLiteral("1"));
    store.save(section, QStringLiteral("timer"), QStringLiteral("22:30:00"));
    store.save(section, QStringLiteral("chkyntimer"), QStringLiteral("0"));
    store.save(section, QStringLiteral("itimer"), QStringLiteral("7:05:00"));

    // A simulated week of ticks, one per second, in local time.
    DueCheck check(store);
    const QDateTime start(QDate(2026, 3, 2), QTime(0, 0, 0, 20));
    const int ticks = 7 * 86400;
    int fired = 0;
    QElapsedTimer timer;
    timer.start();
    for (int s = 0; s < ticks; ++s)
        fired += check.check(start.addSecs(s)).any() ? 1 : 0;
    const double ns = double(timer.nsecsElapsed());

#ifdef NDEBUG
    const char *build = "optimised";
#else
    const char *build = "unoptimised";
#endif
    std::printf("scheduler tick (%s build): %.2f us per tick over %d ticks, %d fired\n", build,
                ns / ticks / 1000.0, ticks, fired);
    std::printf("at one tick a second that is %.4f %% of one core\n", ns / ticks / 1e9 * 100.0);
    return 0;
}
