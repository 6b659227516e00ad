// Prints figures for the lunar conversion; not a test (see CMakeLists.txt).

#include "lunar/lunarcalendar.h"
#include "lunar/lunartext.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Ymd {
    int y, m, d;
};

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

/// Runs `pass` (one pass over all days, returning a checksum) until at least 0.5 s have gone,
/// and returns the best passes per second of five such rounds.
template <typename Pass> double bestPassesPerSecond(Pass pass, long &sink)
{
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        long passes = 0;
        const auto start = Clock::now();
        Clock::duration elapsed{};
        do {
            sink += pass();
            ++passes;
            elapsed = Clock::now() - start;
        } while (elapsed < std::chrono::milliseconds(500));
        best = std::max(best, double(passes) / seconds(elapsed));
    }
    return best;
}

} // namespace

int main()
{
#ifdef __OPTIMIZE__
    std::puts("zirvel-lunar-bench (optimised build)");
#else
    std::puts("zirvel-lunar-bench (UNOPTIMISED build: configure with -DCMAKE_BUILD_TYPE=Release "
              "for real figures)");
#endif
    std::vector<Ymd> days;
    for (int y = 1900; y <= 2101; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= gregorian::daysInMonth(y, m); ++d)
                if (LunarCalendar::fromGregorian(y, m, d))
                    days.push_back({y, m, d});
    const double n = double(days.size());
    std::printf("days in range: %zu (1900-01-31 .. 2101-01-28)\n", days.size());

    long sink = 0;
    const double gregorianRate = n * bestPassesPerSecond(
                                         [&] {
                                             long sum = 0;
                                             for (const Ymd &g : days) {
                                                 const auto l =
                                                     LunarCalendar::fromGregorian(g.y, g.m, g.d);
                                                 sum += l->year + l->month + l->day;
                                             }
                                             return sum;
                                         },
                                         sink);
    std::printf("fromGregorian:  %6.1f M conversions/s (target >= 20 M)\n", gregorianRate / 1e6);

    const double dayNumberRate = n * bestPassesPerSecond(
                                         [&] {
                                             long sum = 0;
                                             for (std::int32_t dn = LunarCalendar::FirstDayNumber;
                                                  dn < LunarCalendar::EndDayNumber; ++dn) {
                                                 const auto l = LunarCalendar::fromDayNumber(dn);
                                                 sum += l->year + l->month + l->day;
                                             }
                                             return sum;
                                         },
                                         sink);
    std::printf("fromDayNumber:  %6.1f M conversions/s\n", dayNumberRate / 1e6);

    const double textRate =
        n * bestPassesPerSecond(
                [&] {
                    long sum = 0;
                    for (const Ymd &g : days) {
                        const LunarTooltipTexts t = lunarTooltipTexts(g.y, g.m, g.d);
                        sum += long(dateTooltip("Fri", g.y, g.m, g.d, t).size());
                    }
                    return sum;
                },
                sink);
    std::printf("full tooltip:   %6.2f M texts/s (conversion + both lunar texts + tooltip)\n",
                textRate / 1e6);

    // zirvel-lunar --range over the whole range, output read through a pipe.
    const std::string cmd = std::string("'") + ZIRVEL_LUNAR_EXE + "' --range 1900-01-31 2101-01-28";
    std::vector<double> times;
    long bytes = 0, lines = 0;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        FILE *p = popen(cmd.c_str(), "r");
        if (!p) {
            std::perror("popen");
            return 1;
        }
        char buf[1 << 16];
        bytes = lines = 0;
        for (std::size_t got; (got = std::fread(buf, 1, sizeof buf, p)) > 0;) {
            bytes += long(got);
            lines += std::count(buf, buf + got, '\n');
        }
        const int status = pclose(p);
        times.push_back(seconds(Clock::now() - start));
        if (status != 0) {
            std::fprintf(stderr, "zirvel-lunar --range failed (%d)\n", status);
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("zirvel-lunar --range 1900-01-31 2101-01-28: %ld lines, %.1f MB, "
                "best %.0f ms, median %.0f ms (5 runs)\n",
                lines, double(bytes) / 1e6, times.front() * 1e3, times[2] * 1e3);
    return sink == 42 ? 2 : 0; // keeps the checksums alive
}
