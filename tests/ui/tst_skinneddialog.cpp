#include "alarm/alarmdialog.h"
#include "alarm/alarmpopup.h"
#include "alarm/chimepopup.h"
#include "controlof.h"
#include "options/optionsdialog.h"
#include "platform/windowsystem.h"
#include "shutdown/shutdowndialog.h"
#include "testenvironment.h"
#include "ui/aboutdialog.h"
#include "ui/controltable.h"
#include "ui/labelbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <cmath>

namespace {

// The chrome rows (the window, its title and close mark) of the design a
// dialog class carries, by its class name; empty for an unknown name.
QList<ControlRow> chromeOf(const QString &name)
{
    const QHash<QString, const QList<ControlRow> *> designs = {
        {QStringLiteral("frmSetTime"), &AlarmDialog::design()},
        {QStringLiteral("frmOption"), &OptionsDialog::design()},
        {QStringLiteral("frmCloseWindows"), &ShutdownDialog::design()},
        {QStringLiteral("frmAbout"), &AboutDialog::design()},
        {QStringLiteral("frmTimer"), &AlarmPopup::design()},
        {QStringLiteral("frmIntTime"), &ChimePopup::design()},
    };
    QList<ControlRow> chrome;
    if (const QList<ControlRow> *design = designs.value(name)) {
        for (const ControlRow &row : *design) {
            if (row.kind == ControlRow::Kind::Window || row.kind == ControlRow::Kind::Title ||
                row.kind == ControlRow::Kind::CloseMark)
                chrome << row;
        }
    }
    return chrome;
}

QPoint centred(QSize size)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    return area.topLeft() +
           QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
}

// Mouse events at a screen position, as a real pointer sends them while the
// window moves under it (QTest's helpers take window-local positions and do
// not say which buttons are held).
void sendMouse(QWidget *target, QEvent::Type type, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(target->mapFromGlobal(global)), QPointF(global), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Relative luminance and contrast ratio as the accessibility guidelines
// define them (WCAG 2).
double luminance(QColor c)
{
    const auto channel = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colours of a piece of text as drawn: its background (the commonest
// colour), its darkest and its lightest pixel.
struct DrawnText {
    QColor background, darkest, lightest;
};

DrawnText drawnText(const QImage &image)
{
    QHash<QRgb, int> counts;
    DrawnText t{{}, Qt::white, Qt::black};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            ++counts[c.rgb()];
            if (luminance(c) < luminance(t.darkest))
                t.darkest = c;
            if (luminance(c) > luminance(t.lightest))
                t.lightest = c;
        }
    }
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            t.background = QColor::fromRgb(it.key());
        }
    }
    return t;
}

} // namespace

class tst_SkinnedDialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    // The design values of every dialog, as a user meets them: frameless,
    // fixed size, no taskbar button, where it opens, the title and close label.
    void chromeOfEveryDialog_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("start"); // (-1, -1): centred
        QTest::addColumn<QString>("title");
        QTest::addColumn<QRect>("titleRect");
        QTest::addColumn<QString>("closeName");
        QTest::addColumn<QRect>("closeRect");
        const QPoint centre(-1, -1);
        QTest::newRow("frmSetTime") << "frmSetTime" << QSize(485, 316) << centre << "定时器设置"
                                    << QRect(80, 8, 313, 33) << "lblClose" << QRect(464, 8, 17, 17);
        QTest::newRow("frmOption") << "frmOption" << QSize(484, 316) << centre << "选项设置"
                                   << QRect(80, 8, 313, 33) << "lblClose" << QRect(464, 8, 17, 17);
        QTest::newRow("frmCloseWindows")
            << "frmCloseWindows" << QSize(484, 316) << QPoint(195, 165) << "定时关机设置"
            << QRect(80, 8, 313, 33) << "lblClose" << QRect(464, 7, 17, 17);
        QTest::newRow("frmAbout") << "frmAbout" << QSize(338, 220) << centre << "关于"
                                  << QRect(72, 8, 177, 33) << "lblClose" << QRect(312, 0, 25, 25);
        QTest::newRow("frmTimer") << "frmTimer" << QSize(339, 221) << centre << "闹钟"
                                  << QRect(72, 8, 177, 33) << "lblMin" << QRect(312, 0, 25, 25);
        QTest::newRow("frmIntTime") << "frmIntTime" << QSize(315, 174) << centre << "整点报时"
                                    << QRect(72, 8, 153, 33) << "lblMin" << QRect(288, 0, 25, 25);
    }
    void chromeOfEveryDialog()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QPoint, start);
        QFETCH(QString, title);
        QFETCH(QRect, titleRect);
        QFETCH(QString, closeName);
        QFETCH(QRect, closeRect);
        const QList<ControlRow> chrome = chromeOf(name);
        QCOMPARE(chrome.size(), 3);

        SkinnedDialog dialog(*env->table, chrome);
        dialog.show();
        QCOMPARE(dialog.size(), size);
        QCOMPARE(dialog.minimumSize(), size);
        QCOMPARE(dialog.maximumSize(), size);
        QVERIFY(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(dialog.windowFlags().testFlag(Qt::Tool));
        QCOMPARE(dialog.pos(), start == QPoint(-1, -1) ? centred(size) : start);

        QCOMPARE(controlOf<QLabel>(&dialog, "lblTitle")->text(), title);
        QCOMPARE(controlOf<QLabel>(&dialog, "lblTitle")->geometry(), titleRect);
        QCOMPARE(controlOf<QLabel>(&dialog, "lblTitle")->palette().color(QPalette::WindowText),
                 QColor(Qt::white));
        QCOMPARE(controlOf<QLabel>(&dialog, "lblTitle")->font().pointSizeF(), 10.5);
        QVERIFY(!controlOf<QLabel>(&dialog, "lblTitle")->autoFillBackground());
        QCOMPARE(controlOf<LabelButton>(&dialog, qPrintable(closeName))->objectName(), closeName);
        QCOMPARE(controlOf<LabelButton>(&dialog, qPrintable(closeName))->geometry(), closeRect);
        QVERIFY(controlOf<LabelButton>(&dialog, qPrintable(closeName))->text().isEmpty());
        // Asked to stay off the taskbar once it is up.
        QTRY_VERIFY(env->windows.skipTaskbar.contains(&dialog));
    }

    // The skin is drawn unscaled from the corner: a client area one pixel
    // larger shows a strip of background at the right and bottom; AboutDialog,
    // one pixel smaller, is covered by the skin, its grey never shows.
    void skinUnscaledWithStripOrCut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rightStrip");
        QTest::addColumn<bool>("bottomStrip");
        QTest::newRow("frmSetTime") << "frmSetTime" << true << true;
        QTest::newRow("frmOption") << "frmOption" << false << true;
        QTest::newRow("frmIntTime") << "frmIntTime" << true << true;
        QTest::newRow("frmTimer") << "frmTimer" << false << false;
        QTest::newRow("frmAbout") << "frmAbout" << false << false;
    }
    void skinUnscaledWithStripOrCut()
    {
        QFETCH(QString, name);
        QFETCH(bool, rightStrip);
        QFETCH(bool, bottomStrip);
        const QList<ControlRow> chrome = chromeOf(name);
        QCOMPARE(chrome.size(), 3);
        const QImage skin(windowRow(chrome).picture);
        QVERIFY2(!skin.isNull(), "skin picture missing from the resources");

        SkinnedDialog dialog(*env->table, chrome);
        const QImage face = dialog.grab().toImage();
        const QColor background = dialog.palette().color(QPalette::Window);
        const int w = dialog.width(), h = dialog.height();

        // Unscaled: a pixel of the panel and the frame match the skin exactly.
        for (const QPoint p : {QPoint(100, 100), QPoint(2, 150), QPoint(w - 14, 13)})
            QCOMPARE(face.pixelColor(p), skin.pixelColor(p));
        QCOMPARE(face.pixelColor(w - 1, h / 2) == background, rightStrip);
        QCOMPARE(face.pixelColor(w / 2, h - 1) == background, bottomStrip);
        if (!rightStrip)
            QCOMPARE(face.pixelColor(w - 1, h / 2), skin.pixelColor(w - 1, h / 2));
        if (name == QLatin1String("frmAbout")) {
            QCOMPARE(background, QColor(64, 64, 64));
            QVERIFY(face.pixelColor(w - 1, h - 1) != background);
        }
    }

    // Each window exists once; after an unload it is built again from the
    // design values, so a dragged dialog reopens at its start position.
    void oneInstanceRebuiltAfterUnload()
    {
        AboutDialog *first = env->table->show<AboutDialog>();
        QVERIFY(first);
        QCOMPARE(env->table->show<AboutDialog>(), first);
        int abouts = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            abouts += qobject_cast<AboutDialog *>(w) != nullptr;
        QCOMPARE(abouts, 1);
        QCOMPARE(first->objectName(), QStringLiteral("frmAbout"));

        const QPoint start = first->pos();
        QCOMPARE(start, centred(first->size()));
        first->move(start + QPoint(77, 33));
        QPointer<AboutDialog> old(first);
        QTest::mouseClick(controlOf<LabelButton>(first, "lblClose"), Qt::LeftButton);
        QVERIFY(!env->table->isLoaded<AboutDialog>());
        QTRY_VERIFY(old.isNull());

        AboutDialog *second = env->table->show<AboutDialog>();
        QVERIFY(second);
        QCOMPARE(second->pos(), start);
    }

    // Only a left-button drag on lblTitle moves a dialog; other buttons, a
    // press that does not move, the close label and the rest of the face
    // leave it where it is.
    void titleDragButtonFilter_data()
    {
        QTest::addColumn<QString>("handle"); // child object name, "" for the face
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<bool>("moves");
        const QPoint far(40, 30);
        QTest::newRow("left on title") << "lblTitle" << Qt::LeftButton << far << true;
        QTest::newRow("right on title") << "lblTitle" << Qt::RightButton << far << false;
        QTest::newRow("middle on title") << "lblTitle" << Qt::MiddleButton << far << false;
        QTest::newRow("left press, no move")
            << "lblTitle" << Qt::LeftButton << QPoint(0, 0) << false;
        QTest::newRow("left, within drag distance")
            << "lblTitle" << Qt::LeftButton << QPoint(1, 1) << false;
        QTest::newRow("left on close label") << "lblClose" << Qt::LeftButton << far << false;
        QTest::newRow("left on the panel") << "" << Qt::LeftButton << far << false;
    }
    void titleDragButtonFilter()
    {
        QFETCH(QString, handle);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, delta);
        QFETCH(bool, moves);

        AboutDialog *about = env->table->show<AboutDialog>();
        QWidget *target =
            handle.isEmpty() ? static_cast<QWidget *>(about) : about->findChild<QWidget *>(handle);
        QVERIFY(target);
        const QPoint start = about->pos();
        const QPoint press =
            target->mapToGlobal(handle.isEmpty() ? QPoint(150, 150) : QPoint(8, 8));

        sendMouse(target, QEvent::MouseButtonPress, press, button, button);
        for (int step = 1; step <= 4; ++step)
            sendMouse(target, QEvent::MouseMove, press + delta * step / 4, Qt::NoButton, button);
        sendMouse(target, QEvent::MouseButtonRelease, press + delta, button, Qt::NoButton);

        QCOMPARE(about->pos(), moves ? start + delta : start);
        QVERIFY(env->table->isLoaded<AboutDialog>());
        // The system move is asked for once, and only for a real drag.
        QCOMPARE(env->windows.systemMoves, moves ? 1 : 0);
    }

    // The pop-ups go topmost before they are first shown, and leave the band
    // while shown: neither may cost the dialog its frameless tool-window look.
    void topmostKeepsTheChrome()
    {
        X11WindowSystem windows;
        SkinnedDialog dialog(*env->table, chromeOf(QStringLiteral("frmTimer")));
        const auto chrome = [&] {
            return dialog.windowFlags().testFlag(Qt::FramelessWindowHint) &&
                   dialog.windowFlags().testFlag(Qt::Tool);
        };
        windows.setTopmost(&dialog, true);
        QVERIFY(chrome());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(dialog.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));
        const WId native = dialog.winId();
        windows.setTopmost(&dialog, false);
        QVERIFY(chrome());
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(dialog.winId(), native); // changed in place, not re-created
    }

    // Disabled text on the dialogs' grey panel: readable (3:1 at least), and
    // drawn as disabled text is on such panels, grey with a light etched
    // shadow. The text of a disabled box stands on the box's own face.
    void disabledTextIsReadable_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("onPanel");
        QTest::newRow("每天这个时候关机, countdown chosen") << "frmCloseWindows"
                                                            << "chkCloseTime" << true;
        QTest::newRow("shutdown hour, countdown chosen") << "frmCloseWindows"
                                                         << "txtHour" << false;
        QTest::newRow("开启闹钟 disabled") << "frmSetTime"
                                           << "chkOpenTimer" << true;
        QTest::newRow("整点报时 disabled") << "frmOption"
                                           << "chkIntTime" << true;
    }
    void disabledTextIsReadable()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, control);
        QFETCH(bool, onPanel);

        QWidget *w = nullptr;
        if (dialog == QLatin1String("frmCloseWindows")) {
            auto *shutdown = env->table->show<ShutdownDialog>();
            controlOf<QRadioButton>(shutdown, "OptCountDownStart")->click();
            w = shutdown;
        } else if (dialog == QLatin1String("frmSetTime")) {
            w = env->table->show<AlarmDialog>();
        } else {
            w = env->table->show<OptionsDialog>();
        }
        auto *target = w->findChild<QWidget *>(control);
        QVERIFY(target);
        target->setEnabled(false);
        if (auto *edit = qobject_cast<QLineEdit *>(target))
            edit->setText(QStringLiteral("22"));

        // Only the text: a box's caption right of its indicator, an edit's
        // inside its frame.
        QRect area(target->mapTo(w, QPoint(0, 0)), target->size());
        if (auto *box = qobject_cast<QCheckBox *>(target)) {
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = box->text();
            const QRect caption =
                box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
            area = QRect(box->mapTo(w, caption.topLeft()), caption.size());
        } else {
            area = area.adjusted(4, 4, -4, -4);
        }
        const DrawnText text = drawnText(w->grab(area).toImage());

        const double ratio = contrast(text.darkest, text.background);
        QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1 on %2: %3:1")
                                              .arg(text.darkest.name(), text.background.name())
                                              .arg(ratio, 0, 'f', 2)));
        if (onPanel) {
            // The panel's grey (189 to 191), and the etched shadow lighter than it.
            QVERIFY2(qAbs(text.background.red() - 190) <= 1, qPrintable(text.background.name()));
            QVERIFY2(luminance(text.lightest) > luminance(text.background) * 1.3,
                     qPrintable(text.lightest.name()));
        }
    }

    void doubleClickOnTitleDoesNothing()
    {
        AlarmPopup *popup = env->table->show<AlarmPopup>();
        const QPoint start = popup->pos();
        QTest::mouseDClick(controlOf<QLabel>(popup, "lblTitle"), Qt::LeftButton);
        QVERIFY(env->table->isLoaded<AlarmPopup>());
        QCOMPARE(popup->pos(), start);
    }
};

QTEST_MAIN(tst_SkinnedDialog)
#include "tst_skinneddialog.moc"
