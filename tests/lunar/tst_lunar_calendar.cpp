// LunarCalendar (extended to lunar 1900..2100): the worked examples and edge
// cases, the range ends and impossible dates, and a walk over the committed fixture of every
// lunar month's first day (derived from an independent source, see tools/lunar-table.mjs).

#include "lunar/lunarcalendar.h"

#include <QDate>
#include <QFile>
#include <QTest>

#include <climits>

namespace {
LunarYearCode yearCode(int lunarYear)
{
    return kLunarYearCodes[std::size_t(lunarYear - LunarCalendar::FirstYear)];
}
} // namespace

Q_DECLARE_METATYPE(LunarDate)

namespace {

QString toString(const std::optional<LunarDate> &d)
{
    if (!d)
        return QStringLiteral("out of range");
    return QStringLiteral("%1/%2/%3").arg(d->year).arg(d->month).arg(d->day);
}

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

class TestLunarCalendar : public QObject {
    Q_OBJECT

private slots:
    void convert_data();
    void convert();
    void originalCodesKept();
    void fixtureWalk();
    void everyDayOfTheRange();
};

void TestLunarCalendar::convert_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("d");
    QTest::addColumn<QString>("expected"); // "year/month/day" or "out of range"
    QTest::addColumn<QString>("names");    // stem branch animal, empty: not checked

    auto row = [](const char *tag, int y, int m, int d, const char *expected,
                  const char *names = "") {
        QTest::newRow(tag) << y << m << d << QString::fromLatin1(expected)
                           << QString::fromUtf8(names);
    };
    // Worked examples and reference points.
    row("2006-01-13 worked example", 2006, 1, 13, "2005/12/14", "乙酉鸡");
    row("2004-03-21 leap 2nd month", 2004, 3, 21, "2004/-2/1", "甲申猴");
    row("2020-05-23 leap 4th month", 2020, 5, 23, "2020/-4/1", "庚子鼠");
    row("1921-02-08 original table's first day", 1921, 2, 8, "1921/1/1", "辛酉鸡");
    row("2006-01-29 new year", 2006, 1, 29, "2006/1/1", "丙戌狗");
    row("2021-02-11 original table's last day", 2021, 2, 11, "2020/12/30", "庚子鼠");
    row("2021-02-12 past the original table", 2021, 2, 12, "2021/1/1", "辛丑牛");
    row("1921-02-07 before the original table", 1921, 2, 7, "1920/12/30", "庚申猴");
    // Edge cases.
    row("2004-04-18 last of leap 2nd", 2004, 4, 18, "2004/-2/29");
    row("2004-04-19 month 3 after leap", 2004, 4, 19, "2004/3/1");
    row("2017-07-23 leap 6th begins", 2017, 7, 23, "2017/-6/1", "丁酉鸡");
    row("2017-08-21 leap 6th, day 30", 2017, 8, 21, "2017/-6/30");
    row("2020-06-21 month 5 after leap 4th", 2020, 6, 21, "2020/5/1");
    row("2000-02-05 new year 2000", 2000, 2, 5, "2000/1/1", "庚辰龙");
    row("1984-02-02 new year 1984", 1984, 2, 2, "1984/1/1", "甲子鼠");
    // The ends of the extended range.
    row("1900-01-30 day before range", 1900, 1, 30, "out of range");
    row("1900-01-31 first day", 1900, 1, 31, "1900/1/1", "庚子鼠");
    row("2101-01-28 last day", 2101, 1, 28, "2100/12/29", "庚申猴");
    row("2101-01-29 day after range", 2101, 1, 29, "out of range");
    row("1899-12-31", 1899, 12, 31, "out of range");
    row("2200-01-01", 2200, 1, 1, "out of range");
    // Gregorian leap years by the full rule: 1900 and 2100 are common years, 2000 is not.
    row("1900-02-28", 1900, 2, 28, "1900/1/29");
    row("1900-02-29 impossible", 1900, 2, 29, "out of range");
    row("1900-03-01", 1900, 3, 1, "1900/2/1");
    row("2000-02-29", 2000, 2, 29, "2000/1/25");
    row("2100-02-28", 2100, 2, 28, "2100/1/20");
    row("2100-02-29 impossible", 2100, 2, 29, "out of range");
    row("2100-03-01", 2100, 3, 1, "2100/1/21");
    // Impossible dates.
    row("2023-02-29", 2023, 2, 29, "out of range");
    row("month 13", 2006, 13, 1, "out of range");
    row("month 0", 2006, 0, 1, "out of range");
    row("day 0", 2006, 1, 0, "out of range");
    row("day 32", 2006, 1, 32, "out of range");
    row("2023-04-31", 2023, 4, 31, "out of range");
    row("negative month", 2006, -1, 1, "out of range");
    row("negative day", 2006, 1, -1, "out of range");
    row("year 0", 0, 1, 1, "out of range");
    row("INT_MIN", INT_MIN, INT_MIN, INT_MIN, "out of range");
    row("INT_MAX", INT_MAX, INT_MAX, INT_MAX, "out of range");
    // Beyond those: the only leap 11th month of the range (2033), today's date when this
    // was written, and the four months where Debian's lunardate disagrees with the
    // astronomical calendar (the original codes agree with the astronomical one).
    row("2033-12-22 leap 11th month", 2033, 12, 22, "2033/-11/1", "癸丑牛");
    row("2034-01-20 month 12 after leap 11th", 2034, 1, 20, "2033/12/1");
    row("2026-12-09", 2026, 12, 9, "2026/11/1", "丙午马");
    row("1933-07-23", 1933, 7, 23, "1933/6/1");
    row("1954-11-25", 1954, 11, 25, "1954/11/1");
    row("1956-12-02", 1956, 12, 2, "1956/11/1");
    row("1978-09-03", 1978, 9, 3, "1978/8/1");
}

void TestLunarCalendar::convert()
{
    QFETCH(int, y);
    QFETCH(int, m);
    QFETCH(int, d);
    QFETCH(QString, expected);
    QFETCH(QString, names);

    const auto result = LunarCalendar::fromGregorian(y, m, d);
    QCOMPARE(toString(result), expected);
    if (result && gregorian::isValid(y, m, d)) {
        // The day-number entry point agrees.
        QCOMPARE(toString(LunarCalendar::fromDayNumber(gregorian::dayNumber(y, m, d))), expected);
    }
    if (!names.isEmpty()) {
        QVERIFY(result);
        QCOMPARE(qs(LunarCalendar::stem(result->year)) + qs(LunarCalendar::branch(result->year)) +
                     qs(LunarCalendar::animal(result->year)),
                 names);
    }
}

// The original codes for 1921..2020 are kept as given (the fixture walk checks every one of them
// against the independent source; this pins the original table's own examples and counts).
void TestLunarCalendar::originalCodesKept()
{
    QCOMPARE(yearCode(1921), 0xA4BU);
    QCOMPARE(yearCode(1984), 0xA164BU);
    QCOMPARE(yearCode(2004), 0x20B55U);
    QCOMPARE(yearCode(2020), 0x40E95U);
    int leapYears = 0;
    for (int y = 1921; y <= 2020; ++y)
        leapYears += yearCode(y) >= 0xFFF;
    QCOMPARE(leapYears, 37);
}

void TestLunarCalendar::fixtureWalk()
{
    QFile file(QStringLiteral(LUNAR_FIXTURE));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));

    int months = 0;
    bool sawEnd = false;
    std::optional<LunarDate> prevStart; // lunar month that began on prevDay
    std::int32_t prevDay = 0;
    int lineNo = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        ++lineNo;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QVERIFY2(!sawEnd, "lines after the end line");
        const QStringList f = line.split(u' ');
        const QDate date = QDate::fromString(f.value(0), Qt::ISODate);
        QVERIFY2(date.isValid(), qPrintable(QStringLiteral("line %1: %2").arg(lineNo).arg(line)));
        const std::int32_t dn = gregorian::dayNumber(date.year(), date.month(), date.day());

        // The day before each first day is the last day of the previous month (or, before the
        // first month, out of range).
        const QDate before = date.addDays(-1);
        const auto lastOfPrev =
            LunarCalendar::fromGregorian(before.year(), before.month(), before.day());
        const QString where = QStringLiteral("line %1: %2").arg(lineNo).arg(line);
        if (prevStart) {
            QVERIFY2(lastOfPrev, qPrintable(where));
            const int length = dn - prevDay;
            QVERIFY2(length == 29 || length == 30, qPrintable(where));
            QCOMPARE(toString(lastOfPrev),
                     toString(LunarDate{prevStart->year, prevStart->month, length}));
        } else {
            QCOMPARE(toString(lastOfPrev), QStringLiteral("out of range"));
        }

        const auto result = LunarCalendar::fromGregorian(date.year(), date.month(), date.day());
        if (f.value(1) == u"end") {
            QCOMPARE(toString(result), QStringLiteral("out of range"));
            QCOMPARE(dn, LunarCalendar::EndDayNumber);
            sawEnd = true;
            continue;
        }
        QCOMPARE(f.size(), 4);
        const int month = f[2].toInt();
        const LunarDate expected{f[1].toInt(), f[3] == u"1" ? -month : month, 1};
        if (toString(result) != toString(expected))
            QFAIL(qPrintable(where + QStringLiteral(" -> ") + toString(result)));
        prevStart = expected;
        prevDay = dn;
        ++months;
    }
    QVERIFY(sawEnd);
    // The fixture and the table have the same months: 12 a year plus the leap months.
    int tableMonths = 0;
    for (int y = LunarCalendar::FirstYear; y <= LunarCalendar::LastYear; ++y)
        tableMonths += yearCode(y) >= 0xFFF ? 13 : 12;
    QCOMPARE(months, tableMonths);
    QCOMPARE(months, 201 * 12 + 74);
}

// Every day of the range, both entry points: consecutive days step the lunar day by one or
// start a new month; the day numbers agree with QDate's Julian days.
void TestLunarCalendar::everyDayOfTheRange()
{
    QDate g(1900, 1, 31);
    std::optional<LunarDate> prev;
    int days = 0;
    for (std::int32_t dn = LunarCalendar::FirstDayNumber; dn < LunarCalendar::EndDayNumber;
         ++dn, g = g.addDays(1), ++days) {
        QCOMPARE(gregorian::dayNumber(g.year(), g.month(), g.day()),
                 std::int32_t(g.toJulianDay() - 2440588));
        const auto a = LunarCalendar::fromGregorian(g.year(), g.month(), g.day());
        const auto b = LunarCalendar::fromDayNumber(dn);
        QVERIFY(a && b);
        QVERIFY(*a == *b);
        if (prev && a->day != prev->day + 1) {
            QVERIFY2(a->day == 1 && (prev->day == 29 || prev->day == 30),
                     qPrintable(g.toString(Qt::ISODate)));
        }
        prev = a;
    }
    QCOMPARE(g, QDate(2101, 1, 29));
    QCOMPARE(days, 73412);
    QVERIFY(!LunarCalendar::fromDayNumber(LunarCalendar::FirstDayNumber - 1));
    QVERIFY(!LunarCalendar::fromDayNumber(LunarCalendar::EndDayNumber));
    QVERIFY(!LunarCalendar::fromDayNumber(INT32_MIN));
    QVERIFY(!LunarCalendar::fromDayNumber(INT32_MAX));
}

QTEST_APPLESS_MAIN(TestLunarCalendar)
#include "tst_lunar_calendar.moc"
