// zirvel-lunar, run as a user would run it.

#include "lunar/lunartext.h"

#include <QDate>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QStringList &args, const QStringList &extraEnv = {},
        const std::function<void()> &inChild = {})
{
    QProcess p;
    if (inChild)
        p.setChildProcessModifier(inChild);
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
    void argumentsAreEchoedSafely_data();
    void argumentsAreEchoedSafely();
    void failedWritesAreReported_data();
    void failedWritesAreReported();
    void brokenPipeEndsQuietly_data();
    void brokenPipeEndsQuietly();
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

void TestLunarCli::argumentsAreEchoedSafely_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("shown"); // how the bad argument appears in the message
    QTest::newRow("newline") << QStringList{"2006-01-13\nzirvel-lunar: all fine"}
                             << R"('2006-01-13\nzirvel-lunar: all fine')";
    QTest::newRow("terminal escape")
        << QStringList{"\x1b]0;owned\x07\x1b[2J"} << R"('\x1b]0;owned\x07\x1b[2J')";
    QTest::newRow("carriage return and tab") << QStringList{"a\rb\tc"} << R"('a\rb\tc')";
    QTest::newRow("backslash") << QStringList{"a\\nb"} << R"('a\\nb')";
    QTest::newRow("delete and C1 control") << QStringList{QString::fromUtf8("a\x7f\xc2\x9b"
                                                                            "1m")}
                                           << R"('a\x7f\u009b1m')";
    QTest::newRow("Chinese stays readable") << QStringList{"二〇〇六年"} << "'二〇〇六年'";
    QTest::newRow("range TO") << QStringList{"--range", "2006-01-01", "x\ny"} << R"('x\ny')";
    QTest::newRow("long") << QStringList{QString(120 * 1024, u'9')}
                          << "'" + QString(40, u'9') + "...'";
}

void TestLunarCli::argumentsAreEchoedSafely()
{
    QFETCH(QStringList, args);
    QFETCH(QString, shown);
    const Run r = run(args);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.err.count(u'\n'), 1);
    QVERIFY(r.err.endsWith(u'\n'));
    for (QChar c : r.err.chopped(1))
        QVERIFY2(c.unicode() >= 0x20 && c.unicode() != 0x7f &&
                     !(c.unicode() >= 0x80 && c.unicode() < 0xa0),
                 qPrintable(r.err.toUtf8().toPercentEncoding()));
    QVERIFY2(r.err.contains(shown), qPrintable(r.err));
    QVERIFY(r.err.size() < 200);
}

// Output that cannot be written is an error (exit 1, one line), whatever the
// amount: a full device, a full disk, a standard output that was closed.
void TestLunarCli::failedWritesAreReported_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("output"); // "full": /dev/full; "closed": no standard output
    const QStringList whole{"--range", "1900-01-31", "2101-01-28"};
    const QStringList someDays{"--range", "2006-01-01", "2006-01-10"};
    for (const char *output : {"full", "closed"}) {
        QTest::addRow("one date, %s", output) << QStringList{"2006-01-13"} << output;
        QTest::addRow("today, %s", output) << QStringList() << output;
        QTest::addRow("a few days, %s", output) << someDays << output;
        QTest::addRow("whole range, %s", output) << whole << output;
        QTest::addRow("help, %s", output) << QStringList{"--help"} << output;
    }
}

void TestLunarCli::failedWritesAreReported()
{
    QFETCH(QStringList, args);
    QFETCH(QString, output);
    const bool full = output == u"full";
    const Run r = run(args, {}, [full] {
        if (full) {
            const int fd = ::open("/dev/full", O_WRONLY);
            ::dup2(fd, STDOUT_FILENO);
            ::close(fd);
        } else {
            ::close(STDOUT_FILENO);
        }
    });
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err.count(u'\n'), 1);
    QVERIFY2(r.err.startsWith(u"zirvel-lunar: "), qPrintable(r.err));
}

// A reader that stops early (| head) ends the program without a word, as it
// ends any filter: by the signal, or, where the signal is ignored (a parent
// that ignores SIGPIPE passes that on), quietly with status 1.
void TestLunarCli::brokenPipeEndsQuietly_data()
{
    QTest::addColumn<bool>("signalIgnored");
    QTest::newRow("default") << false;
    QTest::newRow("SIGPIPE ignored") << true;
}

void TestLunarCli::brokenPipeEndsQuietly()
{
    QFETCH(bool, signalIgnored);
    QProcess producer;
    QProcess reader;
    producer.setStandardOutputProcess(&reader);
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    // Qt 6.8 sets the child's SIGPIPE back to the default after the modifier
    // has run, unless this flag asks for it to be ignored.
    if (signalIgnored)
        producer.setUnixProcessParameters(QProcess::UnixProcessFlag::IgnoreSigPipe);
#endif
    producer.setChildProcessModifier(
        [signalIgnored] { ::signal(SIGPIPE, signalIgnored ? SIG_IGN : SIG_DFL); });
    reader.start(QStringLiteral("head"), {QStringLiteral("-c"), QStringLiteral("100")});
    producer.start(
        QStringLiteral(ZIRVEL_LUNAR_EXE),
        {QStringLiteral("--range"), QStringLiteral("1900-01-31"), QStringLiteral("2101-01-28")});
    QVERIFY(reader.waitForFinished(60000));
    QVERIFY(producer.waitForFinished(60000));
    QCOMPARE(reader.readAllStandardOutput().size(), 100);
    QCOMPARE(producer.readAllStandardError(), QByteArray());
    if (signalIgnored) {
        QCOMPARE(producer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(producer.exitCode(), 1);
    } else {
        QCOMPARE(producer.exitStatus(), QProcess::CrashExit); // ended by SIGPIPE
    }
}

QTEST_GUILESS_MAIN(TestLunarCli)
#include "tst_lunar_cli.moc"
