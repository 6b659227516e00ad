#include "time/timeentry.h"

#include <QTest>

using namespace TimeEntry;
using Outcome = ChangeCheck::Outcome;

Q_DECLARE_METATYPE(TimeEntry::Field)
Q_DECLARE_METATYPE(TimeEntry::ChangeCheck::Outcome)

class tst_TimeEntry : public QObject {
    Q_OBJECT

private slots:
    void changeCheck_data()
    {
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("message");
        const QString hourNaN = "你的输入不合法,请输入(0-23)的数字!";
        const QString minuteNaN = "你的输入不合法,请输入(0-59)的数字!";
        const QString hourBig = "请输入小于24的数!";
        const QString minuteBig = "请输入小于60的数!";

        QTest::newRow("empty") << Field::Hour << "" << Outcome::Nothing << 0 << "";
        QTest::newRow("0") << Field::Hour << "0" << Outcome::SpinnerValue << 0 << "";
        QTest::newRow("00") << Field::Hour << "00" << Outcome::NotANumber << 0 << hourNaN;
        QTest::newRow("letter") << Field::Hour << "a" << Outcome::NotANumber << 0 << hourNaN;
        QTest::newRow("minus sign")
            << Field::Minute << "-" << Outcome::NotANumber << 0 << minuteNaN;
        QTest::newRow("blank") << Field::Minute << " " << Outcome::NotANumber << 0 << minuteNaN;
        QTest::newRow("-0") << Field::Hour << "-0" << Outcome::NotANumber << 0 << hourNaN;
        QTest::newRow("7") << Field::Hour << "7" << Outcome::SpinnerValue << 7 << "";
        QTest::newRow("07 keeps its text")
            << Field::Hour << "07" << Outcome::SpinnerValue << 7 << "";
        QTest::newRow("23") << Field::Hour << "23" << Outcome::SpinnerValue << 23 << "";
        QTest::newRow("24") << Field::Hour << "24" << Outcome::TooLarge << 0 << hourBig;
        QTest::newRow("23.5 hour: left for later")
            << Field::Hour << "23.5" << Outcome::Nothing << 0 << "";
        QTest::newRow("59") << Field::Minute << "59" << Outcome::SpinnerValue << 59 << "";
        QTest::newRow("60") << Field::Minute << "60" << Outcome::TooLarge << 0 << minuteBig;
        QTest::newRow("59.5 minute")
            << Field::Minute << "59.5" << Outcome::TooLarge << 0 << minuteBig;
        QTest::newRow("1a: left for later") << Field::Hour << "1a" << Outcome::Nothing << 0 << "";
        QTest::newRow("-5: left for later") << Field::Hour << "-5" << Outcome::Nothing << 0 << "";
        QTest::newRow("1.5: left for later")
            << Field::Minute << "1.5" << Outcome::Nothing << 0 << "";
        QTest::newRow("99999999999: too large, no overflow")
            << Field::Minute << "99999999999" << Outcome::TooLarge << 0 << minuteBig;
    }
    void changeCheck()
    {
        QFETCH(Field, field);
        QFETCH(QString, text);
        QFETCH(Outcome, outcome);
        QFETCH(int, value);
        QFETCH(QString, message);
        const ChangeCheck check = checkChange(field, text);
        QCOMPARE(check.outcome, outcome);
        QCOMPARE(check.value, value);
        QCOMPARE(check.message, message);
    }

    void leaveAndStore_data()
    {
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("leave"); // -1: the leave check refuses it
        QTest::addColumn<bool>("storable");

        QTest::newRow("7") << Field::Hour << "7" << 7 << true;
        QTest::newRow("07") << Field::Hour << "07" << 7 << true;
        QTest::newRow("empty") << Field::Hour << "" << -1 << false;
        QTest::newRow("7.6 rounds for the spinner, not storable")
            << Field::Hour << "7.6" << 8 << false;
        QTest::newRow("59.4") << Field::Minute << "59.4" << 59 << false;
        QTest::newRow("23.6 rounds out of range") << Field::Hour << "23.6" << -1 << false;
        QTest::newRow("-1") << Field::Minute << "-1" << -1 << false;
        QTest::newRow("1a") << Field::Minute << "1a" << -1 << false;
        QTest::newRow("blank around") << Field::Minute << " 5" << 5 << false;
        QTest::newRow("24") << Field::Hour << "24" << -1 << false;
        QTest::newRow("59") << Field::Minute << "59" << 59 << true;
        // Only ASCII digits are digits here, and a line break is not part of
        // a number (found by fuzzing).
        QTest::newRow("digit, line break") << Field::Hour << "7\n" << 7 << false;
        QTest::newRow("Arabic-Indic digit") << Field::Hour << "٣" << -1 << false;
        QTest::newRow("full-width digits") << Field::Minute << "０５" << -1 << false;
    }
    void leaveAndStore()
    {
        QFETCH(Field, field);
        QFETCH(QString, text);
        QFETCH(int, leave);
        QFETCH(bool, storable);
        QCOMPARE(leaveValue(field, text).value_or(-1), leave);
        QCOMPARE(wholeValue(field, text).has_value(), storable);
    }

    void timeOfDayNeedsBothBoxes()
    {
        QCOMPARE(timeOfDay("7", "5"), QTime(7, 5, 0));
        QCOMPARE(timeOfDay("07", "05"), QTime(7, 5, 0));
        QCOMPARE(timeOfDay("7", ""), std::nullopt);
        QCOMPARE(timeOfDay("", "5"), std::nullopt);
        QCOMPARE(timeOfDay("7", "5.0"), std::nullopt);
    }

    // N x 60 s after the moment, at the first whole second not before it.
    void minutesLater_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QDateTime>("end");
        const QDate d(2026, 3, 2);
        QTest::newRow("23:50:40 + 30: next day")
            << QDateTime(d, QTime(23, 50, 40)) << 30 << QDateTime(d.addDays(1), QTime(0, 20, 40));
        QTest::newRow("10:45:10 + 15")
            << QDateTime(d, QTime(10, 45, 10)) << 15 << QDateTime(d, QTime(11, 0, 10));
        QTest::newRow("10:45:10.001 + 15: the next whole second")
            << QDateTime(d, QTime(10, 45, 10, 1)) << 15 << QDateTime(d, QTime(11, 0, 11));
        QTest::newRow("10:15:30 + 0: now")
            << QDateTime(d, QTime(10, 15, 30)) << 0 << QDateTime(d, QTime(10, 15, 30));
        QTest::newRow("10:15:30.400 + 0: the next second")
            << QDateTime(d, QTime(10, 15, 30, 400)) << 0 << QDateTime(d, QTime(10, 15, 31));
        QTest::newRow("22:30 + 180")
            << QDateTime(d, QTime(22, 30)) << 180 << QDateTime(d.addDays(1), QTime(1, 30));
        QTest::newRow("23:59:59.500 + 1")
            << QDateTime(d, QTime(23, 59, 59, 500)) << 1 << QDateTime(d.addDays(1), QTime(0, 1, 0));
        QTest::newRow("a day and a half")
            << QDateTime(d, QTime(6, 0, 0, 1)) << 2160 << QDateTime(d.addDays(1), QTime(18, 0, 1));
    }
    void minutesLater()
    {
        QFETCH(QDateTime, now);
        QFETCH(int, minutes);
        QFETCH(QDateTime, end);
        QCOMPARE(TimeEntry::minutesLater(now, minutes), end);
    }
};

QTEST_GUILESS_MAIN(tst_TimeEntry)
#include "tst_timeentry.moc"
