#pragma once

// Gregorian → Chinese lunar calendar conversion and the names of a lunar date,
// in plain C++ without Qt. Covered: lunar years 1900..2100, that is the Gregorian dates
// 1900-01-31 (lunar 1900, month 1, day 1) to 2101-01-28 (the last day of lunar 2100).

#include "lunar/lunaryearcodes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

/// The proleptic Gregorian calendar with the full leap-year rule (1900 and 2100 are common
/// years).
namespace gregorian {

constexpr bool isLeapYear(int year) noexcept
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}
/// Days of a Gregorian month (month 1..12).
constexpr int daysInMonth(int year, int month) noexcept
{
    constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}
/// True for a real date: month 1..12, day 1..the month's length.
constexpr bool isValid(int year, int month, int day) noexcept
{
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}
/// Days from 1970-01-01 to a valid date (negative before it); H. Hinnant, "chrono-Compatible
/// Low-Level Date Algorithms", days_from_civil.
constexpr std::int32_t dayNumber(int year, int month, int day) noexcept
{
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

} // namespace gregorian

/// A date of the Chinese lunar calendar.
struct LunarDate {
    int year = 0;  ///< lunar year, 1900..2100
    int month = 0; ///< 1..12, or -L for the leap month that repeats month L (-1..-12)
    int day = 0;   ///< 1..30

    bool isLeapMonth() const { return month < 0; }
    friend bool operator==(const LunarDate &, const LunarDate &) = default;
};

/// The conversion and the name tables. All members are static; the tables are constants built
/// at compile time.
class LunarCalendar {
public:
    static constexpr int FirstYear = 1900; ///< first lunar year of the table
    static constexpr int LastYear = 2100;  ///< last lunar year of the table
    static constexpr int YearCount = LastYear - FirstYear + 1;
    static_assert(YearCount == int(kLunarYearCodes.size()));

    /// Converts the Gregorian date year-month-day. Returns no value for an impossible date
    /// (month outside 1..12, day outside the month, 29 February of a common year, full
    /// Gregorian leap-year rule) and for a date outside 1900-01-31 .. 2101-01-28.
    static std::optional<LunarDate> fromGregorian(int year, int month, int day) noexcept;

    /// Converts a day number (days since 1970-01-01, see gregorian::dayNumber); no value outside
    /// the range.
    static std::optional<LunarDate> fromDayNumber(std::int32_t dayNumber) noexcept;

    /// Day numbers of the first covered day and of the first day after the range.
    static constexpr std::int32_t FirstDayNumber = gregorian::dayNumber(1900, 1, 31);
    static constexpr std::int32_t EndDayNumber = gregorian::dayNumber(2101, 1, 29);

    // Name tables, exactly as they have always been shown; index 0 of the month and day names is
    // a filler so that month m and day d index directly.
    static constexpr std::array<std::string_view, 10> Stems{"甲", "乙", "丙", "丁", "戊",
                                                            "己", "庚", "辛", "壬", "癸"};
    static constexpr std::array<std::string_view, 12> Branches{"子", "丑", "寅", "卯", "辰", "巳",
                                                               "午", "未", "申", "酉", "戌", "亥"};
    static constexpr std::array<std::string_view, 12> Animals{"鼠", "牛", "虎", "兔", "龙", "蛇",
                                                              "马", "羊", "猴", "鸡", "狗", "猪"};
    static constexpr std::array<std::string_view, 13> MonthNames{
        "*", "正", "二", "三", "四", "五", "六", "七", "八", "九", "十", "十一", "腊"};
    static constexpr std::array<std::string_view, 31> DayNames{
        "*",    "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
        "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十", "廿一",
        "廿二", "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十"};

    /// Stem, branch and animal of a lunar year: s = (year - 4) mod 60; stem s mod 10,
    /// branch and animal s mod 12.
    static std::string_view stem(int lunarYear) { return Stems[cycle(lunarYear) % 10]; }
    static std::string_view branch(int lunarYear) { return Branches[cycle(lunarYear) % 12]; }
    static std::string_view animal(int lunarYear) { return Animals[cycle(lunarYear) % 12]; }
    /// Name of a month number, leap or not (month names[|month|]); "*" outside -12..12.
    static std::string_view monthName(int month)
    {
        return month >= -12 && month <= 12 ? MonthNames[month < 0 ? -month : month] : MonthNames[0];
    }
    /// Name of a day 1..30; "*" otherwise.
    static std::string_view dayName(int day)
    {
        return day >= 0 && day <= 30 ? DayNames[day] : DayNames[0];
    }

private:
    // (year - 4) mod 60, without overflow at the ends of int.
    static int cycle(int lunarYear) { return ((lunarYear % 60 - 4) % 60 + 60) % 60; }
};
