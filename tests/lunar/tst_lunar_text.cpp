// The tooltip texts.

#include "lunar/lunartext.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

class TestLunarText : public QObject {
    Q_OBJECT

private slots:
    void lunarTexts_data();
    void lunarTexts();
    void tooltip_data();
    void tooltip();
    void gregorianPart();
};

void TestLunarText::lunarTexts_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("yearText");
    QTest::addColumn<QString>("monthDayText");

    QTest::newRow("2006-01-13 腊月")
        << QDate(2006, 1, 13) << u" 农历：乙酉年(鸡)"_s << u"腊月十四"_s;
    QTest::newRow("2004-03-21 leap month")
        << QDate(2004, 3, 21) << u" 农历：甲申年(猴)"_s << u"闰二月初一"_s;
    QTest::newRow("2006-01-29 正月初一")
        << QDate(2006, 1, 29) << u" 农历：丙戌年(狗)"_s << u"正月初一"_s;
    QTest::newRow("2026-12-25 十一月")
        << QDate(2026, 12, 25) << u" 农历：丙午年(马)"_s << u"十一月十七"_s;
    QTest::newRow("2033-12-22 leap 十一月")
        << QDate(2033, 12, 22) << u" 农历：癸丑年(牛)"_s << u"闰十一月初一"_s;
    QTest::newRow("2017-08-21 三十")
        << QDate(2017, 8, 21) << u" 农历：丁酉年(鸡)"_s << u"闰六月三十"_s;
    QTest::newRow("2101-01-28 last day")
        << QDate(2101, 1, 28) << u" 农历：庚申年(猴)"_s << u"腊月廿九"_s;
    QTest::newRow("2101-01-29 out of range") << QDate(2101, 1, 29) << QString() << QString();
    QTest::newRow("1900-01-30 out of range") << QDate(1900, 1, 30) << QString() << QString();
}

void TestLunarText::lunarTexts()
{
    QFETCH(QDate, date);
    QFETCH(QString, yearText);
    QFETCH(QString, monthDayText);

    const LunarTooltipTexts t = lunarTooltipTexts(date.year(), date.month(), date.day());
    QCOMPARE(qs(t.yearText), yearText);
    QCOMPARE(qs(t.monthDayText), monthDayText);
    if (const auto l = LunarCalendar::fromGregorian(date.year(), date.month(), date.day())) {
        QCOMPARE(qs(lunarYearText(*l)), yearText);
        QCOMPARE(qs(lunarMonthDayText(*l)), monthDayText);
    }
}

void TestLunarText::tooltip_data()
{
    QTest::addColumn<QString>("abbreviation");
    QTest::addColumn<QDate>("now");     // the date of the mouse move
    QTest::addColumn<QDate>("startUp"); // the date the lunar texts were computed for
    QTest::addColumn<QString>("expected");

    QTest::newRow("2006-01-13") << "Fri" << QDate(2006, 1, 13) << QDate(2006, 1, 13)
                                << u"星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四"_s;
    QTest::newRow("2004-03-21 leap month")
        << "Sun" << QDate(2004, 3, 21) << QDate(2004, 3, 21)
        << u"星期日 公历：2004年03月21日 农历：甲申年(猴)闰二月初一"_s;
    QTest::newRow("month 11") << "Wed" << QDate(2026, 12, 9) << QDate(2026, 12, 9)
                              << u"星期三 公历：2026年12月09日 农历：丙午年(马)十一月初一"_s;
    // Running past midnight: new weekday and date, the lunar part of the start-up day.
    QTest::newRow("past midnight") << "Sat" << QDate(2006, 1, 14) << QDate(2006, 1, 13)
                                   << u"星期六 公历：2006年01月14日 农历：乙酉年(鸡)腊月十四"_s;
    // Started out of range: weekday and Gregorian part only, no trailing blank.
    QTest::newRow("start-up out of range")
        << "Sat" << QDate(2101, 1, 29) << QDate(2101, 1, 29) << u"星期六 公历：2101年01月29日"_s;
    QTest::newRow("start-up 1899")
        << "Sun" << QDate(1899, 12, 31) << QDate(1899, 12, 31) << u"星期日 公历：1899年12月31日"_s;
    // Any other abbreviation: the bare abbreviation.
    QTest::newRow("lower case") << "fri" << QDate(2006, 1, 13) << QDate(2006, 1, 13) << "fri";
    QTest::newRow("German") << "Fr." << QDate(2006, 1, 13) << QDate(2006, 1, 13) << "Fr.";
    QTest::newRow("Chinese") << u"周五"_s << QDate(2006, 1, 13) << QDate(2006, 1, 13) << u"周五"_s;
    QTest::newRow("long name") << "Friday" << QDate(2006, 1, 13) << QDate(2006, 1, 13) << "Friday";
    QTest::newRow("empty") << "" << QDate(2006, 1, 13) << QDate(2006, 1, 13) << "";
    // The seven names, Monday 9 January 2006 to Sunday 15 January.
    const QStringList rows{u"Mon 星期一 09 初十"_s, u"Tue 星期二 10 十一"_s,
                           u"Wed 星期三 11 十二"_s, u"Thu 星期四 12 十三"_s,
                           u"Fri 星期五 13 十四"_s, u"Sat 星期六 14 十五"_s,
                           u"Sun 星期日 15 十六"_s};
    for (const QString &r : rows) {
        const QStringList f = r.split(u' ');
        const QDate d(2006, 1, f[2].toInt());
        QTest::addRow("%s", qPrintable(f[0]))
            << f[0] << d << d
            << f[1] + u" 公历：2006年01月"_s + f[2] + u"日 农历：乙酉年(鸡)腊月"_s + f[3];
    }
}

void TestLunarText::tooltip()
{
    QFETCH(QString, abbreviation);
    QFETCH(QDate, now);
    QFETCH(QDate, startUp);
    QFETCH(QString, expected);

    const LunarTooltipTexts lunar =
        lunarTooltipTexts(startUp.year(), startUp.month(), startUp.day());
    QCOMPARE(qs(dateTooltip(abbreviation.toStdString(), now.year(), now.month(), now.day(), lunar)),
             expected);
}

void TestLunarText::gregorianPart()
{
    QCOMPARE(qs(gregorianText(2006, 1, 13)), u" 公历：2006年01月13日"_s);
    QCOMPARE(qs(gregorianText(987, 12, 1)), u" 公历：0987年12月01日"_s);
    QCOMPARE(qs(gregorianText(12345, 1, 1)), u" 公历：12345年01月01日"_s);
    // " 农历：" and " 公历：" begin with U+0020 and end with the full-width colon U+FF1A.
    const QString g = qs(gregorianText(2006, 1, 13));
    QCOMPARE(g.at(0), QChar(0x20));
    QCOMPARE(g.at(3), QChar(0xFF1A));
    const QString y = qs(lunarTooltipTexts(2006, 1, 13).yearText);
    QCOMPARE(y.at(0), QChar(0x20));
    QCOMPARE(y.at(3), QChar(0xFF1A));
    QVERIFY(y.contains(u'(') && y.contains(u')'));
}

QTEST_APPLESS_MAIN(TestLunarText)
#include "tst_lunar_text.moc"
