#include "clock/screenplacement.h"

#include <QTest>

Q_DECLARE_METATYPE(QList<ScreenArea>)

namespace {

/// A screen with a panel of `panel` pixels along its top edge.
ScreenArea screen(int x, int y, int w, int h, int panel = 0)
{
    return {QRect(x, y, w, h), QRect(x, y + panel, w, h - panel)};
}

const QSize Strip(86, 19);

} // namespace

// Where the 86 × 19 strip goes, for a wanted place (its start position
// 638,24, or where it was when the screens changed) and a screen layout.
class tst_ScreenPlacement : public QObject {
    Q_OBJECT
private slots:
    void placement_data();
    void placement();
};

void tst_ScreenPlacement::placement_data()
{
    QTest::addColumn<QPoint>("wanted");
    QTest::addColumn<QList<ScreenArea>>("screens");
    QTest::addColumn<QPoint>("placed");

    const QPoint start(638, 24);
    // Kept wherever it lies wholly on the screens, under a panel or not.
    QTest::newRow("1280x800") << start << QList{screen(0, 0, 1280, 800)} << start;
    QTest::newRow("under a 32 px top panel")
        << start << QList{screen(0, 0, 1280, 800, 32)} << start;
    QTest::newRow("exactly 724 wide") << start << QList{screen(0, 0, 724, 480)} << start;
    QTest::newRow("across two screens side by side")
        << start << QList{screen(0, 0, 700, 500), screen(700, 0, 1024, 768)} << start;
    QTest::newRow("mirrored screens")
        << start << QList{screen(0, 0, 1280, 800), screen(0, 0, 1280, 800)} << start;

    // Off the screens: into the nearest one's available area.
    QTest::newRow("640x480") << start << QList{screen(0, 0, 640, 480)} << QPoint(554, 24);
    QTest::newRow("700 wide with a 30 px top panel")
        << start << QList{screen(0, 0, 700, 500, 30)} << QPoint(614, 30);
    QTest::newRow("no monitor at the top left")
        << start << QList{screen(1920, 0, 1280, 1024)} << QPoint(1920, 24);
    QTest::newRow("monitor below the origin")
        << start << QList{screen(0, 1080, 1920, 1080, 28)} << QPoint(638, 1108);
    QTest::newRow("half over a gap: the screen holding most of it")
        << start << QList{screen(0, 0, 640, 480), screen(640, 200, 800, 600)} << QPoint(554, 24);
    QTest::newRow("screen smaller than the strip")
        << start << QList{screen(100, 100, 50, 10)} << QPoint(100, 100);

    // Its monitor went away: back into view on the one that is left.
    QTest::newRow("right monitor unplugged")
        << QPoint(2000, 300) << QList{screen(0, 0, 1280, 800, 24)} << QPoint(1194, 300);
    QTest::newRow("lower monitor unplugged")
        << QPoint(300, 1500) << QList{screen(0, 0, 1280, 800, 24)} << QPoint(300, 781);
    QTest::newRow("dragged half off the edge, screens changed")
        << QPoint(-40, 300) << QList{screen(0, 0, 1280, 800)} << QPoint(0, 300);
    QTest::newRow("left monitor gone, the right one keeps its place")
        << QPoint(200, 200) << QList{screen(1920, 0, 1920, 1080)} << QPoint(1920, 200);

    QTest::newRow("no screens at all: left alone") << start << QList<ScreenArea>{} << start;
}

void tst_ScreenPlacement::placement()
{
    QFETCH(QPoint, wanted);
    QFETCH(QList<ScreenArea>, screens);
    QFETCH(QPoint, placed);
    QCOMPARE(keepOnScreens(QRect(wanted, Strip), screens), placed);
}

QTEST_APPLESS_MAIN(tst_ScreenPlacement)
#include "tst_screenplacement.moc"
