#include "lunar/lunarcalendar.h"

namespace {

constexpr bool isThirteenMonthYear(LunarYearCode code)
{
    return code >= 0xFFF;
}

/// Days in a lunar year: 29 per month plus one per 30-day month.
constexpr int yearLength(LunarYearCode code)
{
    const int months = isThirteenMonthYear(code) ? 13 : 12;
    int days = 29 * months;
    for (int n = 0; n < months; ++n)
        days += (code >> n) & 1;
    return days;
}

/// The year-start index: entry i is the day number of lunar year FirstYear + i, month 1,
/// day 1; the last entry is the first day after the range. It replaces the walk over
/// the earlier years with the same results.
constexpr auto buildYearStarts()
{
    std::array<std::int32_t, LunarCalendar::YearCount + 1> starts{};
    starts[0] = LunarCalendar::FirstDayNumber;
    for (int i = 0; i < LunarCalendar::YearCount; ++i)
        starts[i + 1] = starts[i] + yearLength(kLunarYearCodes[i]);
    return starts;
}

constexpr auto kYearStarts = buildYearStarts();

// The table ends where lunar 2100 ends.
static_assert(kYearStarts.back() == LunarCalendar::EndDayNumber);

// Every lunar year begins between 21 January and 20 February of the Gregorian year of the same
// number; fromGregorian relies on it to find the year without a search.
constexpr bool yearsStartInTheirGregorianYear()
{
    for (int i = 0; i < LunarCalendar::YearCount; ++i) {
        const int y = LunarCalendar::FirstYear + i;
        if (kYearStarts[i] < gregorian::dayNumber(y, 1, 21) ||
            kYearStarts[i] > gregorian::dayNumber(y, 2, 20))
            return false;
    }
    return true;
}
static_assert(yearsStartInTheirGregorianYear());

// Every 13-month code names a month 1..12 to repeat and has no stray bits 13..15.
constexpr bool codesWellFormed()
{
    for (LunarYearCode code : kLunarYearCodes) {
        if (isThirteenMonthYear(code) &&
            (code / 65536 < 1 || code / 65536 > 12 || (code & 0xE000) != 0))
            return false;
    }
    return true;
}
static_assert(codesWellFormed());

/// The month walk for table entry i, with `offset` = days since the year's first
/// day (0-based; the 1-based day total is offset + 1). The caller guarantees offset lies in the
/// year.
LunarDate inYear(int i, int offset) noexcept
{
    const LunarYearCode code = kLunarYearCodes[i];
    const int k = isThirteenMonthYear(code) ? 12 : 11;
    int n = k;
    for (;;) {
        const int len = 29 + int((code >> n) & 1);
        if (offset < len || n == 0)
            break;
        offset -= len;
        --n;
    }
    const int p = k - n + 1; // position of the month in the year
    int month = p;
    if (k == 12) {
        const int L = int(code / 65536);
        if (p == L + 1)
            month = 1 - p; // the leap month, -L
        else if (p > L + 1)
            month = p - 1;
    }
    return LunarDate{LunarCalendar::FirstYear + i, month, offset + 1};
}

} // namespace

std::optional<LunarDate> LunarCalendar::fromGregorian(int year, int month, int day) noexcept
{
    if (year < FirstYear || year > LastYear + 1 || !gregorian::isValid(year, month, day))
        return std::nullopt;
    const std::int32_t dn = gregorian::dayNumber(year, month, day);
    // Lunar year `year` begins in January or February of Gregorian `year`.
    int i = year - FirstYear;
    if (dn < kYearStarts[i])
        --i;
    if (i < 0 || i >= YearCount)
        return std::nullopt;
    return inYear(i, dn - kYearStarts[i]);
}

std::optional<LunarDate> LunarCalendar::fromDayNumber(std::int32_t dn) noexcept
{
    if (dn < FirstDayNumber || dn >= EndDayNumber)
        return std::nullopt;
    // Estimate the year from the mean year length, then correct by at most a step or two.
    int i = int((std::int64_t(dn) - FirstDayNumber) * 10000 / 3652425);
    if (i >= YearCount)
        i = YearCount - 1;
    while (dn < kYearStarts[i])
        --i;
    while (dn >= kYearStarts[i + 1])
        ++i;
    return inYear(i, dn - kYearStarts[i]);
}
