#include "platform/qtmessageboxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

// The real message boxes, driven from inside their own modal loop.
class tst_MessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void look_data();
    void look();
    void ownedByTheActiveWindow();
    void ownerGoneWhileUp();
    void noActiveWindow();

private:
    /// Runs `show`, and `inspect` on the box while it is up. A box that
    /// `inspect` left open is closed here (so a failed check never hangs the
    /// test); returns false then.
    bool showAndInspect(const std::function<void()> &show,
                        const std::function<void(QMessageBox *)> &inspect);
};

bool tst_MessageBoxes::showAndInspect(const std::function<void()> &show,
                                      const std::function<void(QMessageBox *)> &inspect)
{
    bool inspected = false;
    bool leftOpen = false;
    // Polls until the box is the modal widget: exec() has started its loop.
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        inspected = true;
        const QPointer<QMessageBox> guard(box);
        inspect(box);
        if (guard && guard->isVisible()) {
            leftOpen = true;
            guard->reject();
        }
    });
    poll->start(10);
    show();
    delete poll;
    return inspected && !leftOpen;
}

void tst_MessageBoxes::look_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("information");
    QTest::addColumn<QString>("shownText");
    QTest::newRow("narrow box") << "不能创建图标!"
                                << "Zirvel" << false << "不能创建图标!";
    QTest::newRow("lines joined by CR, file name in brackets")
        << "Cannot find sound file <ohmy.wav>\rin the program folder"
        << "Zirvel" << false << "Cannot find sound file <ohmy.wav>\nin the program folder";
    QTest::newRow("with the information icon") << "已设定"
                                               << "定时关机" << true << "已设定";
}

void tst_MessageBoxes::look()
{
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(bool, information);
    QFETCH(QString, shownText);

    QtMessageBoxes boxes;
    const bool closed = showAndInspect(
        [&] {
            if (information)
                boxes.showInformation(text, caption);
            else
                boxes.show(text, caption);
        },
        [&](QMessageBox *box) {
            const auto buttons = box->buttons();
            QCOMPARE(buttons.size(), 1);
            // "确定", without the theme's icon, whatever the language.
            QCOMPARE(buttons[0]->text(), QStringLiteral("确定"));
            QVERIFY(buttons[0]->icon().isNull());
            QCOMPARE(box->icon(), information ? QMessageBox::Information : QMessageBox::NoIcon);
            QCOMPARE(box->windowTitle(), caption);
            QCOMPARE(box->text(), shownText);
            QCOMPARE(box->textFormat(), Qt::PlainText);
            // A window manager's title bar holds the title in bold beside an
            // icon and three buttons, each about as wide as the bar is high.
            QFont bold = QApplication::font();
            bold.setBold(true);
            const QFontMetrics metrics(bold);
            const int needed = metrics.horizontalAdvance(caption) + 4 * (metrics.height() + 8);
            QVERIFY2(box->width() >= needed,
                     qPrintable(QStringLiteral("%1 < %2").arg(box->width()).arg(needed)));
            // Esc closes it, as Enter does.
            QTest::keyClick(box, Qt::Key_Escape);
        });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(closed);
}

// Typing into a window raises a box: the box belongs to that window, and
// the keyboard is back in the same box of it once the box is closed.
void tst_MessageBoxes::ownedByTheActiveWindow()
{
    QWidget owner;
    auto *layout = new QVBoxLayout(&owner);
    auto *first = new QLineEdit(&owner);
    auto *typedInto = new QLineEdit(&owner);
    layout->addWidget(first);
    layout->addWidget(typedInto);
    owner.show();
    owner.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&owner));
    typedInto->setFocus();

    QtMessageBoxes boxes;
    const bool closed =
        showAndInspect([&] { static_cast<IMessageBoxes &>(boxes).show(QStringLiteral("!")); },
                       [&](QMessageBox *box) {
                           QCOMPARE(box->parentWidget(), &owner);
                           QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
                           QTest::keyClick(box, Qt::Key_Return);
                       });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(closed);

    QTRY_COMPARE(QApplication::activeWindow(), &owner);
    QCOMPARE(QApplication::focusWidget(), typedInto);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_7);
    QCOMPARE(typedInto->text(), QStringLiteral("7"));
}

// The window that raised the box goes away while the box is up (it was
// unloaded meanwhile): the box goes with it, nothing is freed twice.
void tst_MessageBoxes::ownerGoneWhileUp()
{
    auto *owner = new QLabel(QStringLiteral("owner"));
    owner->show();
    owner->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(owner));

    QtMessageBoxes boxes;
    const bool closed =
        showAndInspect([&] { static_cast<IMessageBoxes &>(boxes).show(QStringLiteral("!")); },
                       [&](QMessageBox *box) {
                           QCOMPARE(box->parentWidget(), owner);
                           delete owner;
                       });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(closed);
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_MessageBoxes::noActiveWindow()
{
    QVERIFY(!QApplication::activeWindow());
    QtMessageBoxes boxes;
    const bool closed =
        showAndInspect([&] { static_cast<IMessageBoxes &>(boxes).show(QStringLiteral("!")); },
                       [&](QMessageBox *box) {
                           QVERIFY(!box->parentWidget());
                           QTest::keyClick(box, Qt::Key_Return);
                       });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(closed);
}

QTEST_MAIN(tst_MessageBoxes)
#include "tst_messageboxes.moc"
