// The date tooltip on the clock strip, offscreen, on the fake clock.

#include "clock/clockstrip.h"
#include "controlof.h"
#include "testenvironment.h"
#include "time/secondticker.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace {

/// Moves the mouse over a point of the strip, as the user does, and then asks for the tooltip
/// there as the platform does once the mouse rests. Returns the tooltip shown, or a null
/// string when none is shown.
QString hover(ClockStrip *w, QPoint pos)
{
    // Start with no tooltip on screen (a hidden tooltip fades out on a short timer).
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
        return QStringLiteral("(an earlier tooltip did not go away)");
    QWidget *target = w->childAt(pos) ? w->childAt(pos) : w;
    const QPoint local = target->mapFrom(w, pos);
    // Two moves, so the second is a real move even if the mouse was already at `pos`.
    QTest::mouseMove(target, local + QPoint(0, local.y() > 0 ? -1 : 1));
    QTest::mouseMove(target, local);
    // The tooltip event goes to the widget under the mouse and, unhandled, up to its parents.
    for (QWidget *x = target; x; x = x->parentWidget()) {
        QHelpEvent help(QEvent::ToolTip, x->mapFrom(w, pos), w->mapToGlobal(pos));
        if (QApplication::sendEvent(x, &help) && help.isAccepted())
            break;
    }
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

QPoint labelCentre(ClockStrip *w)
{
    return controlOf<TimeLabel>(w, "Label1")->geometry().center();
}

} // namespace

class TestLunarTooltip : public QObject {
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup()
    {
        QToolTip::hideText();
        m_env.reset();
    }

    void startUpDay();
    void leapMonth();
    void lunarPartFollowsTheDate_data();
    void lunarPartFollowsTheDate();
    void startUpOutOfRange();
    void endCapsShowNoTooltip();
    void weekdayIgnoresTheLocale();
    void tooltipKeepsItsOwnLook();

private:
    ClockStrip *load(const QDateTime &start)
    {
        m_env->clock.set(start);
        ClockStrip *w = m_env->table->window<ClockStrip>();
        if (w && !QTest::qWaitForWindowExposed(w))
            return nullptr;
        return w;
    }
    std::unique_ptr<TestEnvironment> m_env;
};

void TestLunarTooltip::startUpDay()
{
    ClockStrip *w = load(QDateTime(QDate(2006, 1, 13), QTime(12, 0, 0)));
    QVERIFY(w);
    QCOMPARE(hover(w, labelCentre(w)), u"星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四"_s);
    QCOMPARE(controlOf<TimeLabel>(w, "Label1")->toolTip(),
             u"星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四"_s);
}

void TestLunarTooltip::leapMonth()
{
    ClockStrip *w = load(QDateTime(QDate(2004, 3, 21), QTime(8, 30, 0)));
    QVERIFY(w);
    QCOMPARE(hover(w, labelCentre(w)), u"星期日 公历：2004年03月21日 农历：甲申年(猴)闰二月初一"_s);
}

// The lunar part follows the date shown beside it: after midnight, after the clock is set and
// after a resume, whatever the date the clock started on. The strip keeps ticking meanwhile.
void TestLunarTooltip::lunarPartFollowsTheDate_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QDateTime>("later");
    QTest::addColumn<QString>("tooltip");
    const QDateTime friday(QDate(2006, 1, 13), QTime(23, 59, 58));
    QTest::newRow("past midnight") << friday << QDateTime(QDate(2006, 1, 14), QTime(0, 0, 1))
                                   << u"星期六 公历：2006年01月14日 农历：乙酉年(鸡)腊月十五"_s;
    QTest::newRow("resumed on the lunar new year")
        << friday << QDateTime(QDate(2006, 1, 29), QTime(8, 0, 0))
        << u"星期日 公历：2006年01月29日 农历：丙戌年(狗)正月初一"_s;
    QTest::newRow("clock set back into a leap month")
        << friday << QDateTime(QDate(2004, 3, 21), QTime(8, 30, 0))
        << u"星期日 公历：2004年03月21日 农历：甲申年(猴)闰二月初一"_s;
    QTest::newRow("clock set past the lunar table")
        << friday << QDateTime(QDate(2101, 1, 29), QTime(9, 0, 0))
        << u"星期六 公历：2101年01月29日"_s;
    QTest::newRow("started past the lunar table, set back into it")
        << QDateTime(QDate(2101, 1, 29), QTime(9, 0, 0)) << friday
        << u"星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四"_s;
}

void TestLunarTooltip::lunarPartFollowsTheDate()
{
    QFETCH(QDateTime, start);
    QFETCH(QDateTime, later);
    QFETCH(QString, tooltip);
    ClockStrip *w = load(start);
    QVERIFY(w);
    QVERIFY(!hover(w, labelCentre(w)).isEmpty());

    QSignalSpy ticks(w, &ClockStrip::secondShown);
    m_env->clock.set(later);
    QVERIFY(ticks.wait(5000));
    QCOMPARE(controlOf<TimeLabel>(w, "Label1")->text(), later.toString(u"hh:mm:ss"_s));
    QCOMPARE(hover(w, labelCentre(w)), tooltip);
}

// Started outside the lunar table: weekday and Gregorian date only, no trailing blank; the
// clock loads and runs as usual.
void TestLunarTooltip::startUpOutOfRange()
{
    ClockStrip *w = load(QDateTime(QDate(2101, 1, 29), QTime(9, 0, 0)));
    QVERIFY(w);
    QVERIFY(w->findChild<SecondTicker *>()->isActive());
    QCOMPARE(hover(w, labelCentre(w)), u"星期六 公历：2101年01月29日"_s);
}

void TestLunarTooltip::endCapsShowNoTooltip()
{
    ClockStrip *w = load(QDateTime(QDate(2006, 1, 13), QTime(12, 0, 0)));
    QVERIFY(w);
    QVERIFY(!hover(w, labelCentre(w)).isEmpty()); // the label's tooltip is set by now
    QCOMPARE(hover(w, QPoint(3, w->height() / 2)), QString());
    QCOMPARE(hover(w, QPoint(w->width() - 3, w->height() / 2)), QString());
    QCOMPARE(w->toolTip(), QString());
}

void TestLunarTooltip::weekdayIgnoresTheLocale()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ClockStrip *w = load(QDateTime(QDate(2006, 1, 13), QTime(12, 0, 0)));
    const QString shown = w ? hover(w, labelCentre(w)) : QString();
    QLocale::setDefault(saved);
    QVERIFY(w);
    QCOMPARE(shown, u"星期五 公历：2006年01月13日 农历：乙酉年(鸡)腊月十四"_s);
}

// The label's own colours must not reach the tooltip: an unscoped style sheet on the label or
// the strip would (the tooltip takes the style sheets of the widget it belongs to); one scoped
// to QLabel#Label1 does not.
void TestLunarTooltip::tooltipKeepsItsOwnLook()
{
    ClockStrip *w = load(QDateTime(QDate(2006, 1, 13), QTime(12, 0, 0)));
    QVERIFY(w);
    QVERIFY(!hover(w, labelCentre(w)).isEmpty());
    QWidget *tip = nullptr;
    for (QWidget *t : QApplication::topLevelWidgets()) {
        if (t->inherits("QTipLabel") && t->isVisible())
            tip = t;
    }
    QVERIFY(tip);
    QCOMPARE(tip->palette().color(QPalette::ToolTipText),
             QToolTip::palette().color(QPalette::ToolTipText));
    QCOMPARE(tip->palette().color(QPalette::ToolTipBase),
             QToolTip::palette().color(QPalette::ToolTipBase));
    QCOMPARE(tip->font().family(), QToolTip::font().family());
}

QTEST_MAIN(TestLunarTooltip)
#include "tst_lunar_tooltip.moc"
