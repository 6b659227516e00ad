// zirvel-lunar: the clock's date tooltip in a terminal.
//   zirvel-lunar                  today's tooltip text
//   zirvel-lunar YYYY-MM-DD       that date's tooltip text
//   zirvel-lunar --range FROM TO  one line a day: date, lunar year, month, day, tooltip (TAB)
// The weekday abbreviation comes from the C locale (this program never calls setlocale), so
// the full Chinese text shows whatever the user's locale is. Output is UTF-8.

#include "lunar/lunarcalendar.h"
#include "lunar/lunartext.h"

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr int ExitUsage = 2;

struct Ymd {
    int year, month, day;
};

/// Exactly "YYYY-MM-DD" with a real Gregorian date inside the lunar table's range.
std::optional<Ymd> parseDate(std::string_view s)
{
    if (s.size() != 10 || s[4] != '-' || s[7] != '-')
        return std::nullopt;
    auto digits = [&](std::size_t from, std::size_t count) {
        int v = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return -1;
            v = v * 10 + (s[i] - '0');
        }
        return v;
    };
    const Ymd d{digits(0, 4), digits(5, 2), digits(8, 2)};
    if (d.year < 0 || d.month < 0 || d.day < 0)
        return std::nullopt;
    if (!LunarCalendar::fromGregorian(d.year, d.month, d.day))
        return std::nullopt;
    return d;
}

/// The abbreviated weekday name of a day number, as the C locale's strftime writes it.
std::string weekdayAbbreviation(std::int32_t dayNumber)
{
    std::tm tm{};
    tm.tm_wday = int(((dayNumber + 4) % 7 + 7) % 7); // 1970-01-01 was a Thursday
    char buf[32];
    const std::size_t n = std::strftime(buf, sizeof buf, "%a", &tm);
    return std::string(buf, n);
}

std::string tooltipFor(int year, int month, int day, const LunarTooltipTexts &lunar)
{
    const std::int32_t dn = gregorian::dayNumber(year, month, day);
    return dateTooltip(weekdayAbbreviation(dn), year, month, day, lunar);
}

int badDate(const char *text)
{
    std::fprintf(stderr,
                 "zirvel-lunar: '%s' is not a date from 1900-01-31 to 2101-01-28 (YYYY-MM-DD)\n",
                 text);
    return ExitUsage;
}

int usageError(const char *what)
{
    std::fprintf(stderr, "zirvel-lunar: %s; try 'zirvel-lunar --help'\n", what);
    return ExitUsage;
}

void printHelp()
{
    std::fputs(
        "Usage: zirvel-lunar [YYYY-MM-DD]\n"
        "       zirvel-lunar --range FROM TO\n"
        "\n"
        "Prints the date tooltip of the Zirvel clock: weekday, Gregorian date and\n"
        "Chinese lunar date, for today or for the given date, e.g.\n"
        "  $ zirvel-lunar 2006-01-13\n"
        "  星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四\n"
        "\n"
        "  --range FROM TO  one line per day from FROM to TO (inclusive), fields separated\n"
        "                   by a TAB: date, lunar year, lunar month (negative for a leap\n"
        "                   month), lunar day, tooltip text\n"
        "  --help           this text\n"
        "\n"
        "Dates are YYYY-MM-DD from 1900-01-31 to 2101-01-28 (the lunar years 1900 to 2100).\n"
        "A malformed or out-of-range date is an error (exit status 2).\n",
        stdout);
}

int printToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int y = local.tm_year + 1900, m = local.tm_mon + 1, d = local.tm_mday;
    // Out of the table's range, like the clock, show the weekday and the Gregorian date only.
    const std::string line = tooltipFor(y, m, d, lunarTooltipTexts(y, m, d)) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    return 0;
}

int printRange(const Ymd &from, const Ymd &to)
{
    const std::int32_t first = gregorian::dayNumber(from.year, from.month, from.day);
    const std::int32_t last = gregorian::dayNumber(to.year, to.month, to.day);
    if (first > last)
        return usageError("FROM is after TO");
    std::string out;
    out.reserve(1 << 20);
    Ymd g = from;
    for (std::int32_t dn = first; dn <= last; ++dn) {
        const LunarDate l = *LunarCalendar::fromDayNumber(dn);
        const LunarTooltipTexts texts{lunarYearText(l), lunarMonthDayText(l)};
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", g.year, g.month, g.day);
        out += date;
        out += '\t';
        out += std::to_string(l.year);
        out += '\t';
        out += std::to_string(l.month);
        out += '\t';
        out += std::to_string(l.day);
        out += '\t';
        out += dateTooltip(weekdayAbbreviation(dn), g.year, g.month, g.day, texts);
        out += '\n';
        if (out.size() > (1 << 20) - 512) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
        // Next Gregorian day.
        if (++g.day > gregorian::daysInMonth(g.year, g.month)) {
            g.day = 1;
            if (++g.month > 12) {
                g.month = 1;
                ++g.year;
            }
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 1)
        return printToday();
    const std::string_view a1 = argv[1];
    if (a1 == "--help" || a1 == "-h") {
        printHelp();
        return 0;
    }
    if (a1 == "--range") {
        if (argc != 4)
            return usageError("--range needs two dates, FROM and TO");
        const auto from = parseDate(argv[2]);
        if (!from)
            return badDate(argv[2]);
        const auto to = parseDate(argv[3]);
        if (!to)
            return badDate(argv[3]);
        return printRange(*from, *to);
    }
    if (argc != 2)
        return usageError("too many arguments");
    if (a1.size() > 1 && a1[0] == '-' && !(a1[1] >= '0' && a1[1] <= '9'))
        return usageError("unknown option");
    const auto d = parseDate(a1);
    if (!d)
        return badDate(argv[1]);
    const std::string line =
        tooltipFor(d->year, d->month, d->day, lunarTooltipTexts(d->year, d->month, d->day)) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    return 0;
}
