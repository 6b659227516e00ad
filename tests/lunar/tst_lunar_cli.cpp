// zirvel-lunar, run as a user would run it.

#include "lunar/lunartext.h"

#include <QDate>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QStringList &args, const QStringList &extraEnv = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &kv : extraEnv)
        env.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZIRVEL_LUNAR_EXE), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString tooltipToday(const QDate &d)
{
    const LunarTooltipTexts t = lunarTooltipTexts(d.year(), d.month(), d.day());
    return QString::fromStdString(
        dateTooltip(QLocale::c().dayName(d.dayOfWeek(), QLocale::ShortFormat).toStdString(),
                    d.year(), d.month(), d.day(), t));
}

} // namespace

class TestLunarCli : public QObject {
    Q_OBJECT

private slots:
    void oneDate_data();
    void oneDate();
    void today();
    void range();
    void wholeRange();
    void badInput_data();
    void badInput();
    void help();
};

void TestLunarCli::oneDate_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QString>("expected");

    QTest::newRow("2006-01-13") << "2006-01-13" << QStringList()
                                << u"星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四\n"_s;
    // The weekday comes from the C locale whatever the user's locale is.
    QTest::newRow("Chinese locale") << "2006-01-13" << QStringList{"LC_ALL=zh_CN.UTF-8"}
                                    << u"星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四\n"_s;
    QTest::newRow("German locale")
        << "2004-03-21" << QStringList{"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"}
        << u"星期日 公历：2004年03月21日 农历：甲申年(猴)闰二月初一\n"_s;
    QTest::newRow("2026-12-09") << "2026-12-09" << QStringList()
                                << u"星期三 公历：2026年12月09日 农历：丙午年(马)十一月初一\n"_s;
    QTest::newRow("first day") << "1900-01-31" << QStringList()
                               << u"星期三 公历：1900年01月31日 农历：庚子年(鼠)正月初一\n"_s;
    QTest::newRow("last day") << "2101-01-28" << QStringList()
                              << u"星期五 公历：2101年01月28日 农历：庚申年(猴)腊月廿九\n"_s;
}

void TestLunarCli::oneDate()
{
    QFETCH(QString, date);
    QFETCH(QStringList, env);
    QFETCH(QString, expected);

    const Run r = run({date}, env);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, expected);
    QCOMPARE(r.err, QString());
}

void TestLunarCli::today()
{
    const QDate before = QDate::currentDate();
    const Run r = run({});
    const QDate after = QDate::currentDate();
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out == tooltipToday(before) + u'\n' || r.out == tooltipToday(after) + u'\n',
             qPrintable(r.out));
}

void TestLunarCli::range()
{
    const Run r = run({"--range", "2004-03-19", "2004-03-22"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out,
             u"2004-03-19\t2004\t2\t29\t星期五 公历：2004年03月19日 农历：甲申年(猴)二月廿九\n"
             "2004-03-20\t2004\t2\t30\t星期六 公历：2004年03月20日 农历：甲申年(猴)二月三十\n"
             "2004-03-21\t2004\t-2\t1\t星期日 公历：2004年03月21日 农历：甲申年(猴)闰二月初一\n"
             "2004-03-22\t2004\t-2\t2\t星期一 公历：2004年03月22日 农历：甲申年(猴)闰二月初二\n"_s);
    const Run one = run({"--range", "2006-01-13", "2006-01-13"});
    QCOMPARE(one.out,
             u"2006-01-13\t2005\t12\t14\t星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四\n"_s);
}

// Every day of the range: one line a day, each agreeing with the one-date form's text.
void TestLunarCli::wholeRange()
{
    const Run r = run({"--range", "1900-01-31", "2101-01-28"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QString());
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 73412);
    QCOMPARE(lines.first(),
             u"1900-01-31\t1900\t1\t1\t星期三 公历：1900年01月31日 农历：庚子年(鼠)正月初一"_s);
    QCOMPARE(lines.last(),
             u"2101-01-28\t2100\t12\t29\t星期五 公历：2101年01月28日 农历：庚申年(猴)腊月廿九"_s);
    QDate d(1900, 1, 31);
    for (const QString &line : lines) {
        const QStringList f = line.split(u'\t');
        QCOMPARE(f.size(), 5);
        QCOMPARE(f[0], d.toString(Qt::ISODate));
        QCOMPARE(f[4], tooltipToday(d));
        d = d.addDays(1);
    }
}

void TestLunarCli::badInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("before range") << QStringList{"1900-01-30"};
    QTest::newRow("after range") << QStringList{"2101-01-29"};
    QTest::newRow("2023-02-29") << QStringList{"2023-02-29"};
    QTest::newRow("1900-02-29") << QStringList{"1900-02-29"};
    QTest::newRow("month 13") << QStringList{"2006-13-01"};
    QTest::newRow("day 0") << QStringList{"2006-01-00"};
    QTest::newRow("no zero padding") << QStringList{"2006-1-13"};
    QTest::newRow("slashes") << QStringList{"2006/01/13"};
    QTest::newRow("words") << QStringList{"today"};
    QTest::newRow("trailing text") << QStringList{"2006-01-13x"};
    QTest::newRow("empty") << QStringList{""};
    QTest::newRow("range: bad FROM") << QStringList{"--range", "2006-02-30", "2006-03-01"};
    QTest::newRow("range: bad TO") << QStringList{"--range", "2006-01-01", "2101-01-29"};
    QTest::newRow("range: one date") << QStringList{"--range", "2006-01-01"};
    QTest::newRow("range: reversed") << QStringList{"--range", "2006-01-02", "2006-01-01"};
    QTest::newRow("unknown option") << QStringList{"--frobnicate"};
    QTest::newRow("two dates") << QStringList{"2006-01-13", "2006-01-14"};
}

void TestLunarCli::badInput()
{
    QFETCH(QStringList, args);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.out, QString());
    QCOMPARE(r.err.count(u'\n'), 1);
    QVERIFY(r.err.endsWith(u'\n'));
    // A date error names the accepted range.
    if (!args.contains(u"--frobnicate"_s) && args.size() != 2 && !args.contains(u"2006-01-02"_s)) {
        QVERIFY2(r.err.contains(u"1900-01-31") && r.err.contains(u"2101-01-28"), qPrintable(r.err));
    }
}

void TestLunarCli::help()
{
    const Run r = run({"--help"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.startsWith(u"Usage: zirvel-lunar"));
    QVERIFY(r.out.contains(u"--range FROM TO"));
    QVERIFY(r.out.contains(u"1900-01-31 to 2101-01-28"));
    QCOMPARE(r.err, QString());
}

QTEST_GUILESS_MAIN(TestLunarCli)
#include "tst_lunar_cli.moc"
