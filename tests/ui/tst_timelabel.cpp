#include "ui/fonts.h"
#include "ui/timelabel.h"

#include <QImage>
#include <QLabel>
#include <QTest>

// The label repaints only the characters that change: what it leaves alone
// must already show the new text, pixel for pixel.
class tst_TimeLabel : public QObject {
    Q_OBJECT

    static QImage shot(QWidget &w)
    {
        QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(160, 200, 255));
        w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    static void style(QWidget &w)
    {
        w.setFont(Fonts::song(12));
        QPalette pal = w.palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 192));
        w.setPalette(pal);
    }

private slots:
    void repaintsWhatChanged_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("a second") << "12:34:56"
                                  << "12:34:57";
        QTest::newRow("a minute") << "12:34:59"
                                  << "12:35:00";
        QTest::newRow("an hour") << "09:59:59"
                                 << "10:00:00";
        QTest::newRow("midnight") << "23:59:59"
                                  << "00:00:00";
        QTest::newRow("every digit") << "01:23:45"
                                     << "67:89:10";
        QTest::newRow("shorter") << "12:34:56"
                                 << "12:34";
    }
    void repaintsWhatChanged()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        TimeLabel label(before);
        style(label);
        label.resize(label.sizeHint());
        const QImage old = shot(label);

        const QRegion area = label.changedArea(after);
        label.setText(after);
        QCOMPARE(label.text(), after);
        const QImage now = shot(label);

        // Every pixel that differs lies in the repainted area.
        for (int y = 0; y < now.height(); ++y) {
            for (int x = 0; x < now.width(); ++x) {
                if (old.pixel(x, y) != now.pixel(x, y) && !area.contains(QPoint(x, y)))
                    QFAIL(
                        qPrintable(QStringLiteral("%1,%2 changed outside the area").arg(x).arg(y)));
            }
        }
        // The characters that stay are not repainted.
        int same = 0;
        while (same < before.size() && same < after.size() && before[same] == after[same])
            ++same;
        if (same > 0) {
            TimeLabel prefix(before.left(same - 1));
            style(prefix);
            QVERIFY(!area.intersects(QRect(0, 0, prefix.sizeHint().width() - 1, label.height())));
        }
        QVERIFY(label.changedArea(after).isEmpty());
    }

    // Drawn from its kept glyphs, the time looks as a QLabel draws it.
    void looksLikeALabel()
    {
        const QString text = QStringLiteral("20:48:17");
        TimeLabel time(text);
        QLabel label(text);
        style(time);
        style(label);
        QCOMPARE(time.sizeHint(), label.sizeHint());
        time.resize(time.sizeHint());
        label.resize(label.sizeHint());
        QCOMPARE(shot(time), shot(label));
    }
};

QTEST_MAIN(tst_TimeLabel)
#include "tst_timelabel.moc"
