#include "time/timetext.h"

#include <QTest>

/// The stored time-of-day texts: H:mm:ss, a leading zero read too, nothing
/// else taken for a time.
class tst_TimeText : public QObject {
    Q_OBJECT

private slots:
    void timeTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("time"); // invalid: not a time
        QTest::newRow("H:mm:ss") << "7:05:00" << QTime(7, 5, 0);
        QTest::newRow("leading zero") << "07:05:00" << QTime(7, 5, 0);
        QTest::newRow("midnight") << "0:00:00" << QTime(0, 0, 0);
        QTest::newRow("last second") << "23:59:59" << QTime(23, 59, 59);
        QTest::newRow("hour 24") << "24:00:00" << QTime();
        QTest::newRow("no seconds") << "7:05" << QTime();
        QTest::newRow("empty") << "" << QTime();
        QTest::newRow("words") << "seven" << QTime();
        QTest::newRow("am/pm") << "7:05:00 PM" << QTime();
        QTest::newRow("Arabic-Indic digits") << "٧:٠٥:٠٠" << QTime();
        QTest::newRow("full-width digits") << "７:０５:００" << QTime();
    }
    void timeTexts()
    {
        QFETCH(QString, text);
        QFETCH(QTime, time);
        const std::optional<QTime> parsed = TimeText::parse(text);
        QCOMPARE(parsed.has_value(), time.isValid());
        if (parsed) {
            QCOMPARE(*parsed, time);
            QCOMPARE(TimeText::parse(TimeText::format(*parsed)), parsed);
        }
    }
};

QTEST_GUILESS_MAIN(tst_TimeText)
#include "tst_timetext.moc"
