#include "platform/activationpairing.h"

#include <QTest>

class TestActivationPairing : public QObject {
    Q_OBJECT
private slots:
    void pairing_data();
    void pairing();
};

void TestActivationPairing::pairing_data()
{
    // Milliseconds from each activation to the next, with the desktop's
    // double-click interval; P = press, D = double-click.
    QTest::addColumn<QList<int>>("gaps");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("notifications");

    QTest::newRow("one") << QList<int>{} << 400 << "P";
    QTest::newRow("quick pair") << QList<int>{150} << 400 << "PD";
    QTest::newRow("same instant") << QList<int>{0} << 400 << "PD";
    QTest::newRow("just inside") << QList<int>{399} << 400 << "PD";
    QTest::newRow("at the interval") << QList<int>{400} << 400 << "PP";
    QTest::newRow("slow pair") << QList<int>{1000} << 400 << "PP";
    QTest::newRow("longer desktop interval") << QList<int>{600} << 700 << "PD";
    QTest::newRow("three quick") << QList<int>{100, 100} << 400 << "PDP";
    QTest::newRow("four quick") << QList<int>{100, 100, 100} << 400 << "PDPD";
    QTest::newRow("slow, then a pair") << QList<int>{1000, 100} << 400 << "PPD";
    QTest::newRow("pair, slow, pair") << QList<int>{100, 1000, 100} << 400 << "PDPD";
}

void TestActivationPairing::pairing()
{
    QFETCH(QList<int>, gaps);
    QFETCH(int, interval);
    QFETCH(QString, notifications);

    ActivationPairing pairing;
    qint64 now = 5'000'000'000; // a steady clock's value long after boot
    QString seen;
    for (int i = 0; i <= gaps.size(); ++i) {
        if (i > 0)
            now += gaps.at(i - 1);
        const TrayActivation activation = pairing.activate(now, interval);
        seen += activation == TrayActivation::LeftPress         ? u'P'
                : activation == TrayActivation::LeftDoubleClick ? u'D'
                                                                : u'?';
    }
    QCOMPARE(seen, notifications);
}

QTEST_APPLESS_MAIN(TestActivationPairing)
#include "tst_activationpairing.moc"
