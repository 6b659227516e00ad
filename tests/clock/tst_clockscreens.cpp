#include "clock/clockstrip.h"
#include "testenvironment.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

// The strip on a desktop where no monitor shows 638,24 whole: a 640 × 480
// monitor at the origin and an 800 × 600 one to its right, 200 pixels lower.
class tst_ClockScreens : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheNearestScreen();
};

void tst_ClockScreens::startsOnTheNearestScreen()
{
    QCOMPARE(QGuiApplication::screens().size(), 2);
    TestEnvironment env;
    ClockStrip *clock = env.table->window<ClockStrip>();
    QVERIFY(clock->isVisible());
    QCOMPARE(clock->pos(), QPoint(554, 24));
}

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [
        {"name": "left", "x": 0, "y": 0, "width": 640, "height": 480},
        {"name": "right", "x": 640, "y": 200, "width": 800, "height": 600}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    tst_ClockScreens test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clockscreens.moc"
