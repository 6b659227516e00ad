#include "lunar/lunartext.h"

#include <array>
#include <utility>

namespace {

// In the order the comparisons are made.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kWeekdays{{
    {"Mon", "星期一"},
    {"Tue", "星期二"},
    {"Wed", "星期三"},
    {"Thu", "星期四"},
    {"Fri", "星期五"},
    {"Sat", "星期六"},
    {"Sun", "星期日"},
}};

/// Appends n as at least `width` decimal digits, zero-padded (a minus sign first if negative).
void appendNumber(std::string &out, int n, int width)
{
    char buf[16];
    int len = 0;
    unsigned u = n < 0 ? 0u - unsigned(n) : unsigned(n);
    do {
        buf[len++] = char('0' + u % 10);
        u /= 10;
    } while (u != 0);
    while (len < width)
        buf[len++] = '0';
    if (n < 0)
        out += '-';
    while (len > 0)
        out += buf[--len];
}

} // namespace

std::string lunarYearText(const LunarDate &date)
{
    std::string s(" 农历：");
    s += LunarCalendar::stem(date.year);
    s += LunarCalendar::branch(date.year);
    s += "年(";
    s += LunarCalendar::animal(date.year);
    s += ")";
    return s;
}

std::string lunarMonthDayText(const LunarDate &date)
{
    std::string s;
    if (date.isLeapMonth())
        s += "闰";
    s += LunarCalendar::monthName(date.month);
    s += "月";
    s += LunarCalendar::dayName(date.day);
    return s;
}

LunarTooltipTexts lunarTooltipTexts(int year, int month, int day)
{
    const auto date = LunarCalendar::fromGregorian(year, month, day);
    if (!date)
        return {};
    return {lunarYearText(*date), lunarMonthDayText(*date)};
}

std::string_view weekdayName(std::string_view abbreviation)
{
    for (const auto &[abbr, name] : kWeekdays) {
        if (abbr == abbreviation)
            return name;
    }
    return {};
}

std::string gregorianText(int year, int month, int day)
{
    std::string s(" 公历：");
    appendNumber(s, year, 4);
    s += "年";
    appendNumber(s, month, 2);
    s += "月";
    appendNumber(s, day, 2);
    s += "日";
    return s;
}

std::string dateTooltip(std::string_view weekdayAbbreviation, int year, int month, int day,
                        const LunarTooltipTexts &lunar)
{
    const std::string_view name = weekdayName(weekdayAbbreviation);
    if (name.empty())
        return std::string(weekdayAbbreviation);
    std::string s(name);
    s += gregorianText(year, month, day);
    s += lunar.yearText;
    s += lunar.monthDayText;
    return s;
}
