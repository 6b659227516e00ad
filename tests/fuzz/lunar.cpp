// Any numbers as a Gregorian date and as a day number: the conversion is
// defined for all of them, agrees with itself, and walks the lunar calendar
// one day at a time; the texts never fail on a value out of range.

#include "fuzzcheck.h"
#include "lunar/lunarcalendar.h"
#include "lunar/lunartext.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::int32_t take(const std::uint8_t *&data, std::size_t &size)
{
    std::int32_t v = 0;
    const std::size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

bool isLunarDate(const LunarDate &d)
{
    return d.year >= LunarCalendar::FirstYear && d.year <= LunarCalendar::LastYear &&
           d.month != 0 && d.month >= -12 && d.month <= 12 && d.day >= 1 && d.day <= 30;
}

/// The lunar day after `d`: the next day of its month, or the first of the
/// month that follows (a leap month follows its month; month 12 ends a year).
bool follows(const LunarDate &next, const LunarDate &d)
{
    if (next.year == d.year && next.month == d.month)
        return next.day == d.day + 1;
    if (next.day != 1 || d.day < 29)
        return false;
    if (next.year == d.year + 1)
        return next.month == 1 && (d.month == 12 || d.month == -12);
    const int base = d.month < 0 ? -d.month : d.month;
    return next.year == d.year && (next.month == base + 1 || (d.month > 0 && next.month == -base));
}

void checkTexts(const LunarDate &d)
{
    const std::string year = lunarYearText(d);
    const std::string monthDay = lunarMonthDayText(d);
    FUZZ_CHECK(year.find('*') == std::string::npos);
    FUZZ_CHECK(monthDay.find('*') == std::string::npos);
    FUZZ_CHECK((monthDay.rfind("闰", 0) == 0) == d.isLeapMonth());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const int year = take(data, size);
    const int month = take(data, size);
    const int day = take(data, size);
    const std::int32_t dayNumber = take(data, size);
    const std::string_view rest(reinterpret_cast<const char *>(data), size);

    // Names of any number, and texts of any date, even impossible ones.
    (void)LunarCalendar::monthName(month);
    (void)LunarCalendar::dayName(day);
    (void)LunarCalendar::stem(year);
    (void)LunarCalendar::branch(year);
    (void)LunarCalendar::animal(year);
    (void)gregorianText(year, month, day);
    const LunarTooltipTexts texts = lunarTooltipTexts(year, month, day);
    const std::string tooltip = dateTooltip(rest, year, month, day, texts);
    if (weekdayName(rest).empty())
        FUZZ_CHECK(tooltip == rest);

    const std::optional<LunarDate> lunar = LunarCalendar::fromGregorian(year, month, day);
    FUZZ_CHECK(lunar.has_value() == !texts.yearText.empty());
    if (lunar) {
        FUZZ_CHECK(gregorian::isValid(year, month, day));
        FUZZ_CHECK(isLunarDate(*lunar));
        checkTexts(*lunar);
        FUZZ_CHECK(texts.yearText == lunarYearText(*lunar));
        FUZZ_CHECK(texts.monthDayText == lunarMonthDayText(*lunar));
        const std::int32_t dn = gregorian::dayNumber(year, month, day);
        FUZZ_CHECK(LunarCalendar::fromDayNumber(dn) == lunar);
        if (const std::optional<LunarDate> next = LunarCalendar::fromDayNumber(dn + 1))
            FUZZ_CHECK(follows(*next, *lunar));
    }

    const std::optional<LunarDate> byNumber = LunarCalendar::fromDayNumber(dayNumber);
    FUZZ_CHECK(byNumber.has_value() == (dayNumber >= LunarCalendar::FirstDayNumber &&
                                        dayNumber < LunarCalendar::EndDayNumber));
    if (byNumber) {
        FUZZ_CHECK(isLunarDate(*byNumber));
        checkTexts(*byNumber);
    }
    return 0;
}
