#pragma once

// The texts of the date tooltip, UTF-8, plain C++.
//   full tooltip: weekday name + Gregorian text + lunar year text + lunar month-day text
//   "星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四"

#include "lunar/lunarcalendar.h"

#include <string>
#include <string_view>

/// " 农历：" + stem + branch + "年(" + animal + ")", e.g. " 农历：乙酉年(鸡)".
std::string lunarYearText(const LunarDate &date);

/// Optional "闰" + month name + "月" + day name, e.g. "腊月十四", "闰二月初一", "十一月十七".
std::string lunarMonthDayText(const LunarDate &date);

/// The two lunar texts of the tooltip, computed once for the start-up date. Both are empty
/// when the date is out of the lunar table's range (or impossible): the tooltip then ends with
/// the Gregorian part, with no trailing blank.
struct LunarTooltipTexts {
    std::string yearText;
    std::string monthDayText;
};
LunarTooltipTexts lunarTooltipTexts(int year, int month, int day);

/// The Chinese weekday name of an English abbreviation "Mon".."Sun" (exact, case-sensitive);
/// empty for anything else.
std::string_view weekdayName(std::string_view abbreviation);

/// " 公历：yyyy年mm月dd日" (four-digit year, two-digit month and day), e.g. "
/// 公历：2006年01月13日".
std::string gregorianText(int year, int month, int day);

/// The tooltip: for one of the seven abbreviations, the weekday name,
/// the Gregorian text of year-month-day and the two lunar texts; for any other abbreviation,
/// the bare abbreviation.
std::string dateTooltip(std::string_view weekdayAbbreviation, int year, int month, int day,
                        const LunarTooltipTexts &lunar);
