// zirvel-lunar: the clock's date tooltip in a terminal.
//   zirvel-lunar                  today's tooltip text
//   zirvel-lunar YYYY-MM-DD       that date's tooltip text
//   zirvel-lunar --range FROM TO  one line a day: date, lunar year, month, day, tooltip (TAB)
// The weekday abbreviation comes from the C locale (this program never calls setlocale), so
// the full Chinese text shows whatever the user's locale is. Output is UTF-8.

#include "lunar/lunarcalendar.h"
#include "lunar/lunarcli.h"
#include "lunar/lunartext.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitWriteError = 1;

using LunarCli::Ymd;

/// Standard output, written in large pieces straight to the descriptor, each
/// write checked: output that does not arrive is an error, never a success.
class Output {
public:
    void put(std::string_view text)
    {
        m_buffer += text;
        if (m_buffer.size() >= Chunk)
            flush();
    }
    /// Writes what is left and closes standard output, where the last
    /// delayed error shows; the exit status of the program.
    int finish()
    {
        flush();
        if (m_error == 0 && ::close(STDOUT_FILENO) != 0)
            m_error = errno;
        if (m_error == 0)
            return 0;
        // A reader that went away (| head) ends a filter without a word.
        if (m_error != EPIPE)
            std::fprintf(stderr, "zirvel-lunar: cannot write the output: %s\n",
                         std::strerror(m_error));
        return ExitWriteError;
    }

private:
    static constexpr std::size_t Chunk = 1 << 20;

    void flush()
    {
        std::size_t done = 0;
        while (m_error == 0 && done < m_buffer.size()) {
            const ssize_t n =
                ::write(STDOUT_FILENO, m_buffer.data() + done, m_buffer.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                m_error = n < 0 ? errno : EIO;
            else
                done += std::size_t(n);
        }
        m_buffer.clear();
    }

    std::string m_buffer;
    int m_error = 0;
};

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

constexpr char HelpText[] =
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
    "A malformed or out-of-range date is an error (exit status 2); output that\n"
    "cannot be written is an error too (exit status 1).\n";

void printToday(Output &out)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int y = local.tm_year + 1900, m = local.tm_mon + 1, d = local.tm_mday;
    // Out of the table's range, like the clock, show the weekday and the Gregorian date only.
    out.put(tooltipFor(y, m, d, lunarTooltipTexts(y, m, d)) + '\n');
}

void printRange(Output &out, const Ymd &from, const Ymd &to)
{
    const std::int32_t first = gregorian::dayNumber(from.year, from.month, from.day);
    const std::int32_t last = gregorian::dayNumber(to.year, to.month, to.day);
    Ymd g = from;
    std::string line;
    for (std::int32_t dn = first; dn <= last; ++dn) {
        const LunarDate l = *LunarCalendar::fromDayNumber(dn);
        const LunarTooltipTexts texts{lunarYearText(l), lunarMonthDayText(l)};
        line = LunarCli::formatDate(g);
        line += '\t';
        line += std::to_string(l.year);
        line += '\t';
        line += std::to_string(l.month);
        line += '\t';
        line += std::to_string(l.day);
        line += '\t';
        line += dateTooltip(weekdayAbbreviation(dn), g.year, g.month, g.day, texts);
        line += '\n';
        out.put(line);
        // Next Gregorian day.
        if (++g.day > gregorian::daysInMonth(g.year, g.month)) {
            g.day = 1;
            if (++g.month > 12) {
                g.month = 1;
                ++g.year;
            }
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const LunarCli::Command command = LunarCli::parse(args);
    using Kind = LunarCli::Command::Kind;
    if (command.kind == Kind::Error) {
        std::fprintf(stderr, "%s\n", command.error.c_str());
        return ExitUsage;
    }
    Output out;
    switch (command.kind) {
    case Kind::Help:
        out.put(HelpText);
        break;
    case Kind::Today:
        printToday(out);
        break;
    case Kind::Date: {
        const Ymd &d = command.from;
        out.put(tooltipFor(d.year, d.month, d.day, lunarTooltipTexts(d.year, d.month, d.day)) +
                '\n');
        break;
    }
    case Kind::Range:
        printRange(out, command.from, command.to);
        break;
    case Kind::Error:
        break;
    }
    return out.finish();
}
