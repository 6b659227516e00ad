#include "controlof.h"
#include "testenvironment.h"
#include "ui/aboutdialog.h"
#include "ui/labelbutton.h"

#include <QLabel>
#include <QTest>

namespace {
// lblMac is a control array: its members share the name and carry their index.
QLabel *lblMac(const AboutDialog *about, int index)
{
    const QList<QLabel *> members = about->findChildren<QLabel *>(QStringLiteral("lblMac"));
    for (QLabel *member : members) {
        if (member->property("index").toInt() == index)
            return member;
    }
    return nullptr;
}
} // namespace

class tst_AboutDialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    void contents()
    {
        AboutDialog *about = env->table->show<AboutDialog>();
        QCOMPARE(about->windowTitle(), QStringLiteral("关于"));
        auto *name = about->findChild<QLabel *>(QStringLiteral("lblTit"));
        QCOMPARE(name->text(), QStringLiteral("Zirvel "));
        QCOMPARE(name->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        QCOMPARE(name->font().pointSizeF(), 26.25);
        QCOMPARE(name->font().families().value(0), QStringLiteral("楷体_GB2312"));
        QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("V 6.0"));
        auto *logo = about->findChild<QLabel *>(QStringLiteral("Image1"));
        QCOMPARE(logo->geometry(), QRect(24, 48, 43, 46));
        QVERIFY2(!logo->pixmap().isNull(), "logo picture missing from the resources");
        QCOMPARE(logo->pixmap().deviceIndependentSize().toSize(), QSize(43, 46));
        for (int i = 0; i < 2; ++i) {
            QVERIFY(lblMac(about, i));
            QCOMPARE(lblMac(about, i)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QCOMPARE(lblMac(about, i)->font().pointSizeF(), 10.5);
        }
        QVERIFY(lblMac(about, 0)->text().contains(QStringLiteral("免费")));
        QVERIFY(lblMac(about, 0)->text().contains(QStringLiteral("问题页面")));
    }

    // Every text is seen whole with the fonts at hand: nothing runs past
    // its label or out of the window.
    void textsFitTheirLabels()
    {
        AboutDialog *about = env->table->show<AboutDialog>();
        const auto labels = about->findChildren<QLabel *>();
        for (QLabel *label : labels) {
            if (label->text().isEmpty())
                continue;
            const QSize room = label->size();
            const QSize needed = label->wordWrap()
                                     ? QSize(room.width(), label->heightForWidth(room.width()))
                                     : label->sizeHint();
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                     qPrintable(QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                                    .arg(label->objectName(), label->text())
                                    .arg(needed.width())
                                    .arg(needed.height())
                                    .arg(room.width())
                                    .arg(room.height())));
            QVERIFY2(about->rect().contains(label->geometry()), qPrintable(label->objectName()));
        }
    }

    // Nothing but the close label reacts to a click; nothing takes the focus.
    void onlyTheCloseLabelReacts()
    {
        AboutDialog *about = env->table->show<AboutDialog>();
        const QPoint start = about->pos();
        for (const char *name : {"lblTit", "Image1", "lblVersion", "lblMac"}) {
            auto *w = about->findChild<QWidget *>(QLatin1String(name));
            QTest::mouseClick(w, Qt::LeftButton);
            QTest::mouseDClick(w, Qt::LeftButton);
            QTest::mouseClick(w, Qt::RightButton);
            QVERIFY2(env->table->isLoaded<AboutDialog>(), name);
            QCOMPARE(about->pos(), start);
        }
        for (QWidget *w : about->findChildren<QWidget *>())
            QCOMPARE(w->focusPolicy(), Qt::NoFocus);

        QTest::mouseClick(controlOf<LabelButton>(about, "lblClose"), Qt::RightButton);
        QVERIFY(env->table->isLoaded<AboutDialog>());
        QTest::mouseClick(controlOf<LabelButton>(about, "lblClose"), Qt::LeftButton);
        QVERIFY(!env->table->isLoaded<AboutDialog>());
        QVERIFY(env->messages.texts.isEmpty());
    }
};

QTEST_MAIN(tst_AboutDialog)
#include "tst_aboutdialog.moc"
