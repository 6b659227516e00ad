#include "autostart/xdgregistry.h"
#include "clock/clockstrip.h"
#include "desktopentryreader.h"
#include "options/optionsdialog.h"
#include "settings/settingskeys.h"
#include "testenvironment.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

namespace {

const QString Section = QStringLiteral("Settings");

QCheckBox *box(QWidget *w, const char *name)
{
    return w->findChild<QCheckBox *>(QString::fromLatin1(name));
}

QPushButton *button(QWidget *w, const char *name)
{
    return w->findChild<QPushButton *>(QString::fromLatin1(name));
}

void clickCloseLabel(QWidget *w)
{
    QWidget *label = w->findChild<QWidget *>(QStringLiteral("lblClose"));
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
}

QString readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class tst_OptionsDialog : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void tabOrderAndFocus();
    void separatorIsEtched();
    void keys();
    void loadRestoresBoxes_data();
    void loadRestoresBoxes();
    void autoRunBoxShowsTheEntry_data();
    void autoRunBoxShowsTheEntry();
    void closeAppliesAndSaves_data();
    void closeAppliesAndSaves();
    void cancelSavesAndUndoesNothing();
    void chkTopShowsTheClock_data();
    void chkTopShowsTheClock();
    void chkTopActsAtOnceWithoutMoving();
    void chkTopLoadsAClosedClock();
    void autoRunCycleWithRealFolder();
    void unwritableAutostartFolder();
    void dateTimeTool_data();
    void dateTimeTool();
};

void tst_OptionsDialog::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Frame1") << "Frame1"
                            << "frmOption"
                            << "闹钟设置" << QRect(72, 80, 145, 89);
    QTest::newRow("chkIntTime") << "chkIntTime"
                                << "Frame1"
                                << "整点报时" << QRect(16, 24, 105, 17);
    QTest::newRow("chkYnAuotClose") << "chkYnAuotClose"
                                    << "Frame1"
                                    << "允许自动关机" << QRect(16, 48, 97, 17);
    QTest::newRow("Frame2") << "Frame2"
                            << "frmOption"
                            << "显示设置" << QRect(232, 80, 145, 89);
    QTest::newRow("chkTop") << "chkTop"
                            << "Frame2"
                            << "最上层显示" << QRect(24, 24, 81, 25);
    QTest::newRow("chkAutoRun") << "chkAutoRun"
                                << "frmOption"
                                << "开机自动运行" << QRect(256, 136, 97, 12);
    QTest::newRow("cmdTime") << "cmdTime"
                             << "frmOption"
                             << "设置时间(&T)" << QRect(176, 192, 89, 25);
    QTest::newRow("cmdOk") << "cmdOk"
                           << "frmOption"
                           << "确定(&O)" << QRect(224, 272, 89, 25);
    QTest::newRow("cmdCancel") << "cmdCancel"
                               << "frmOption"
                               << "取消(&C)" << QRect(344, 272, 89, 25);
    QTest::newRow("lblTitle") << "lblTitle"
                              << "frmOption"
                              << "选项设置" << QRect(80, 8, 313, 33);
    QTest::newRow("lblClose") << "lblClose"
                              << "frmOption"
                              << "" << QRect(464, 8, 17, 17);
}

void tst_OptionsDialog::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QString, caption);
    QFETCH(QRect, rect);

    TestEnvironment env;
    OptionsDialog *w = env.table->window<OptionsDialog>();
    QCOMPARE(w->size(), QSize(484, 316));
    QCOMPARE(w->windowTitle(), QStringLiteral("闹钟"));

    auto *control = w->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), rect);
    QCOMPARE(control->property("text").isValid() ? control->property("text").toString()
                                                 : control->property("title").toString(),
             caption);
    if (auto *b = qobject_cast<QPushButton *>(control)) {
        QVERIFY(!b->isDefault());
        QVERIFY(!b->autoDefault());
    }
    if (name == QLatin1String("chkAutoRun")) {
        // Over Frame2's area, and drawn in front of it.
        const QObjectList siblings = w->children();
        QVERIFY(siblings.indexOf(control) > siblings.indexOf(w->findChild<QGroupBox *>("Frame2")));
        QVERIFY(QRect(232, 80, 145, 89).contains(rect));
    }
}

void tst_OptionsDialog::tabOrderAndFocus()
{
    TestEnvironment env;
    OptionsDialog *w = env.table->show<OptionsDialog>();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(QApplication::focusWidget(), box(w, "chkTop"));

    QStringList order;
    for (int i = 0; i < 8; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, (QStringList{"chkTop", "cmdOk", "cmdCancel", "chkAutoRun", "chkIntTime",
                                 "chkYnAuotClose", "cmdTime", "chkTop"}));
}

void tst_OptionsDialog::separatorIsEtched()
{
    TestEnvironment env;
    OptionsDialog *w = env.table->window<OptionsDialog>();
    const QImage image = w->grab().toImage();
    const QColor dark = image.pixelColor(240, 263);
    const QColor light = image.pixelColor(240, 264);
    QCOMPARE(light, QColor(Qt::white));
    QVERIFY2(dark.lightness() < 100, qPrintable(dark.name()));
    // Ends where the line ends.
    QCOMPARE(image.pixelColor(463, 264), QColor(Qt::white));
    QVERIFY(image.pixelColor(470, 264) != QColor(Qt::white));
}

// Access keys press their buttons; Enter and Esc are not bound to anything.
void tst_OptionsDialog::keys()
{
    TestEnvironment env;
    env.launcher.installed.insert(QStringLiteral("kcmshell5"),
                                  QStringLiteral("/usr/bin/kcmshell5"));
    OptionsDialog *w = env.table->show<OptionsDialog>();
    QVERIFY(QTest::qWaitForWindowActive(w));

    QTest::keyClick(w, Qt::Key_Escape);
    QTest::keyClick(w, Qt::Key_Return);
    // A button's access key presses it the way a click looks: a moment later.
    QTest::keyClick(w, Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(env.launcher.started.size(), 1);
    QCOMPARE(env.table->loaded<OptionsDialog>(), w);

    button(w, "cmdOk")->setFocus();
    QTest::keyClick(button(w, "cmdOk"), Qt::Key_Return);
    QCOMPARE(env.table->loaded<OptionsDialog>(), w);

    QTest::keyClick(w, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(!env.table->isLoaded<OptionsDialog>());
    QCOMPARE(env.store->get(Section, QStringLiteral("chkinttime")), QString());

    w = env.table->show<OptionsDialog>();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(!env.table->isLoaded<OptionsDialog>());
    QCOMPARE(env.store->get(Section, QStringLiteral("chkinttime")), QStringLiteral("0"));
}

void tst_OptionsDialog::loadRestoresBoxes_data()
{
    QTest::addColumn<QString>("stored"); ///< one text for all three keys; "-" for none
    QTest::addColumn<bool>("ticked");
    QTest::newRow("nothing stored") << "-" << false;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("2 (greyed elsewhere)") << "2" << false;
    QTest::newRow("-1") << "-1" << false;
    QTest::newRow("not a number") << "yes" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_OptionsDialog::loadRestoresBoxes()
{
    QFETCH(QString, stored);
    QFETCH(bool, ticked);

    TestEnvironment env;
    if (stored != QLatin1String("-")) {
        for (const char *key : {Keys::ChkOpenClose, Keys::ChkIntTime, Keys::ChkAutoRun})
            env.store->save(Section, QString::fromLatin1(key), stored);
    }
    env.windows.topmostCalls.clear();
    OptionsDialog *w = env.table->window<OptionsDialog>();

    QCOMPARE(box(w, "chkYnAuotClose")->isChecked(), ticked);
    QCOMPARE(box(w, "chkIntTime")->isChecked(), ticked);
    // The log-on box shows the entry, which there is none of here.
    QVERIFY(!box(w, "chkAutoRun")->isChecked());
    QVERIFY(env.registry.writes.isEmpty());
    // No clock is loaded: it comes back on top, and opening does not load it.
    QVERIFY(box(w, "chkTop")->isChecked());
    QVERIFY(!env.table->isLoaded<ClockStrip>());
    // Opening never touches the clock's placement.
    QVERIFY(env.windows.topmostCalls.isEmpty());
}

// The log-on box opens showing whether the entry starts the clock, whatever
// the last OK saved; an entry there is written again with this program's path.
void tst_OptionsDialog::autoRunBoxShowsTheEntry_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("entry");
    QTest::newRow("saved ticked, entry there") << "1" << true;
    QTest::newRow("saved unticked, entry there (ticked, then 取消)") << "0" << true;
    QTest::newRow("saved ticked, entry gone (removed by hand)") << "1" << false;
    QTest::newRow("nothing saved, no entry") << "" << false;
}

void tst_OptionsDialog::autoRunBoxShowsTheEntry()
{
    QFETCH(QString, stored);
    QFETCH(bool, entry);
    TestEnvironment env;
    const QString run =
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    env.store->save(Section, QStringLiteral("chkautorun"), stored);
    env.registry.present[run + QStringLiteral("\\QarnexTime")] = entry;
    OptionsDialog *w = env.table->window<OptionsDialog>();
    QCOMPARE(box(w, "chkAutoRun")->isChecked(), entry);
    if (entry) {
        QCOMPARE(env.registry.writes.size(), 1);
        QCOMPARE(env.registry.writes[0].keyPath, run);
        QCOMPARE(env.registry.writes[0].valueName, QStringLiteral("QarnexTime"));
        QCOMPARE(env.registry.writes[0].data, QCoreApplication::applicationFilePath());
    } else {
        QVERIFY(env.registry.writes.isEmpty());
    }
}

void tst_OptionsDialog::closeAppliesAndSaves_data()
{
    QTest::addColumn<bool>("useCloseLabel");
    QTest::newRow("OK") << false;
    QTest::newRow("close label") << true;
}

void tst_OptionsDialog::closeAppliesAndSaves()
{
    QFETCH(bool, useCloseLabel);

    TestEnvironment env;
    env.store->save(Section, QStringLiteral("chkopenclose"), QStringLiteral("1"));
    ClockStrip *clock = env.table->window<ClockStrip>();
    OptionsDialog *w = env.table->show<OptionsDialog>();
    env.windows.topmostCalls.clear();

    box(w, "chkYnAuotClose")->click(); // 1 -> 0
    box(w, "chkIntTime")->click();     // 0 -> 1
    box(w, "chkAutoRun")->click();     // 0 -> 1
    if (useCloseLabel)
        clickCloseLabel(w);
    else
        button(w, "cmdOk")->click();

    QVERIFY(!env.table->isLoaded<OptionsDialog>());
    // chkTop was left as it opened: the clock stays on top.
    QVERIFY(clock->isTopmost());
    for (const auto &call : std::as_const(env.windows.topmostCalls))
        QVERIFY(call.on);

    const auto reopened = env.reopenStore();
    QCOMPARE(reopened->get(Section, QStringLiteral("chkopenclose")), QStringLiteral("0"));
    QCOMPARE(reopened->get(Section, QStringLiteral("chkinttime")), QStringLiteral("1"));
    QCOMPARE(reopened->get(Section, QStringLiteral("chkautorun")), QStringLiteral("1"));

    // The next opening shows what was saved.
    w = env.table->window<OptionsDialog>();
    QVERIFY(!box(w, "chkYnAuotClose")->isChecked());
    QVERIFY(box(w, "chkIntTime")->isChecked());
    QVERIFY(box(w, "chkAutoRun")->isChecked());
}

void tst_OptionsDialog::cancelSavesAndUndoesNothing()
{
    TestEnvironment env;
    ClockStrip *clock = env.table->window<ClockStrip>();
    OptionsDialog *w = env.table->show<OptionsDialog>();
    env.windows.topmostCalls.clear();

    box(w, "chkTop")->click();
    box(w, "chkAutoRun")->click();
    box(w, "chkIntTime")->click();
    button(w, "cmdCancel")->click();

    QVERIFY(!env.table->isLoaded<OptionsDialog>());
    // The clock stays off the top and the entry stays written...
    QCOMPARE(env.windows.topmostCalls.size(), 1);
    QCOMPARE(env.windows.topmostCalls[0].window.data(), clock);
    QVERIFY(!env.windows.topmostCalls[0].on);
    QVERIFY(!clock->isTopmost());
    QCOMPARE(env.registry.writes.size(), 1);
    QCOMPARE(env.registry.writes[0].data, QCoreApplication::applicationFilePath());
    // ...but nothing was saved.
    const auto reopened = env.reopenStore();
    for (const char *key : {Keys::ChkOpenClose, Keys::ChkIntTime, Keys::ChkAutoRun})
        QCOMPARE(reopened->get(Section, QString::fromLatin1(key)), QString());

    // The next opening shows the clock off the top and the entry as it is:
    // still starting the clock at log-on.
    w = env.table->window<OptionsDialog>();
    QVERIFY(box(w, "chkAutoRun")->isChecked());
    QVERIFY(!box(w, "chkTop")->isChecked());
    QCOMPARE(env.registry.writes.last().data, QCoreApplication::applicationFilePath());
}

void tst_OptionsDialog::chkTopShowsTheClock_data()
{
    QTest::addColumn<QString>("clockState"); ///< "on top", "not on top" or "closed"
    QTest::addColumn<bool>("useCloseLabel");
    QTest::addColumn<bool>("ticked");
    for (const bool closeLabel : {false, true}) {
        const char *how = closeLabel ? "close label" : "OK";
        QTest::addRow("on top, %s", how) << "on top" << closeLabel << true;
        QTest::addRow("not on top, %s", how) << "not on top" << closeLabel << false;
        // A closed clock loads on top: OK (which needs it) loads it that way.
        QTest::addRow("closed, %s", how) << "closed" << closeLabel << true;
    }
}

// The box opens showing the clock's placement; closing with nothing touched
// leaves the clock where it was.
void tst_OptionsDialog::chkTopShowsTheClock()
{
    QFETCH(QString, clockState);
    QFETCH(bool, useCloseLabel);
    QFETCH(bool, ticked);

    TestEnvironment env;
    if (clockState != QLatin1String("closed")) {
        ClockStrip *clock = env.table->window<ClockStrip>();
        env.windows.setTopmost(clock, clockState == QLatin1String("on top"));
    }
    env.windows.topmostCalls.clear();

    OptionsDialog *w = env.table->show<OptionsDialog>();
    QCOMPARE(box(w, "chkTop")->isChecked(), ticked);
    QCOMPARE(env.table->isLoaded<ClockStrip>(), clockState != QLatin1String("closed"));
    if (useCloseLabel)
        clickCloseLabel(w);
    else
        button(w, "cmdOk")->click();

    ClockStrip *clock = env.table->loaded<ClockStrip>();
    QVERIFY(clock);
    QCOMPARE(clock->isTopmost(), ticked);
    for (const auto &call : std::as_const(env.windows.topmostCalls))
        QCOMPARE(call.on, ticked);
}

void tst_OptionsDialog::chkTopActsAtOnceWithoutMoving()
{
    TestEnvironment env;
    ClockStrip *clock = env.table->window<ClockStrip>();
    clock->move(300, 400); // dragged somewhere
    OptionsDialog *w = env.table->show<OptionsDialog>();
    env.windows.topmostCalls.clear();

    QVERIFY(box(w, "chkTop")->isChecked());
    box(w, "chkTop")->click();
    box(w, "chkTop")->click();
    QCOMPARE(env.windows.topmostCalls.size(), 2);
    QVERIFY(!env.windows.topmostCalls[0].on);
    QVERIFY(env.windows.topmostCalls[1].on);
    QCOMPARE(env.windows.topmostCalls[1].window.data(), clock);
    QCOMPARE(clock->pos(), QPoint(300, 400));
    QVERIFY(env.store->get(Section, QStringLiteral("chkTop")).isEmpty());
}

void tst_OptionsDialog::chkTopLoadsAClosedClock()
{
    TestEnvironment env;
    env.table->window<ClockStrip>()->move(300, 400);
    OptionsDialog *w = env.table->show<OptionsDialog>();
    env.table->unload(env.table->loaded<ClockStrip>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    env.windows.topmostCalls.clear();

    box(w, "chkTop")->click();

    ClockStrip *clock = env.table->loaded<ClockStrip>();
    QVERIFY(clock);
    QVERIFY(clock->isVisible());
    QCOMPARE(clock->pos(), ClockStrip::StartPosition);
    // Its own load puts it on top; then the box's placement (unticked now)
    // applies.
    QVERIFY(env.windows.topmostCalls.size() >= 2);
    QVERIFY(env.windows.topmostCalls.first().on);
    QCOMPARE(env.windows.topmostCalls.last().window.data(), clock);
    QVERIFY(!env.windows.topmostCalls.last().on);
}

// Tick, OK, reopen, untick, Cancel, reopen: against a real autostart folder.
void tst_OptionsDialog::autoRunCycleWithRealFolder()
{
    TestEnvironment env;
    const QString folder = env.dir.filePath(QStringLiteral("config/autostart"));
    XdgRegistry registry({folder, env.dir.filePath(QStringLiteral("system"))}, env.messages);
    env.table->services().registry = &registry;
    const QString entry = folder + QStringLiteral("/QarnexTime.desktop");
    const auto entryKeys = [&] {
        return DesktopEntryReader::mainGroup(readFile(entry)).value_or(QMap<QString, QString>());
    };

    OptionsDialog *w = env.table->show<OptionsDialog>();
    QVERIFY(!QFile::exists(entry));
    box(w, "chkAutoRun")->click();
    QVERIFY(QFile::exists(entry));
    QVERIFY(!entryKeys().contains(QStringLiteral("Hidden")));
    QCOMPARE(DesktopEntryReader::execArguments(entryKeys().value(QStringLiteral("Exec"))),
             QStringList{QCoreApplication::applicationFilePath()});
    button(w, "cmdOk")->click();

    w = env.table->show<OptionsDialog>();
    QVERIFY(box(w, "chkAutoRun")->isChecked());
    box(w, "chkAutoRun")->click();
    QCOMPARE(entryKeys().value(QStringLiteral("Hidden")), QStringLiteral("true"));
    button(w, "cmdCancel")->click();

    // The entry was switched off by the click; 取消 does not undo that, and
    // the next opening shows it off (though "chkautorun" still says 1).
    w = env.table->show<OptionsDialog>();
    QVERIFY(!box(w, "chkAutoRun")->isChecked());
    QCOMPARE(entryKeys().value(QStringLiteral("Hidden")), QStringLiteral("true"));
    clickCloseLabel(w);
    QCOMPARE(env.reopenStore()->get(Section, QStringLiteral("chkautorun")), QStringLiteral("0"));
    QVERIFY(env.messages.texts.isEmpty());
}

void tst_OptionsDialog::unwritableAutostartFolder()
{
    TestEnvironment env;
    QFile blocker(env.dir.filePath(QStringLiteral("config")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    XdgRegistry registry({env.dir.filePath(QStringLiteral("config/autostart")), QString()},
                         env.messages);
    env.table->services().registry = &registry;

    OptionsDialog *w = env.table->show<OptionsDialog>();
    box(w, "chkAutoRun")->click();
    QVERIFY(box(w, "chkAutoRun")->isChecked());
    // Told once, naming the entry and the reason; the box and setting stay.
    QCOMPARE(env.messages.texts.size(), 1);
    QVERIFY2(env.messages.texts.first().contains(
                 env.dir.filePath(QStringLiteral("config/autostart/QarnexTime.desktop"))),
             qPrintable(env.messages.texts.first()));
    QVERIFY2(env.messages.texts.first().contains(qt_error_string(ENOTDIR)),
             qPrintable(env.messages.texts.first()));
    box(w, "chkAutoRun")->click();
    box(w, "chkAutoRun")->click();
    QCOMPARE(env.messages.texts.size(), 1);
    button(w, "cmdOk")->click();
    QCOMPARE(env.reopenStore()->get(Section, QStringLiteral("chkautorun")), QStringLiteral("1"));
}

void tst_OptionsDialog::dateTimeTool_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("starts");
    QTest::newRow("started") << true << true;
    QTest::newRow("missing") << false << true;
    QTest::newRow("start fails") << true << false;
}

void tst_OptionsDialog::dateTimeTool()
{
    QFETCH(bool, installed);
    QFETCH(bool, starts);

    TestEnvironment env;
    env.launcher.desktops = {QStringLiteral("GNOME")};
    if (installed)
        env.launcher.installed.insert(QStringLiteral("gnome-control-center"),
                                      QStringLiteral("/usr/bin/gnome-control-center"));
    env.launcher.startResult = starts;
    OptionsDialog *w = env.table->show<OptionsDialog>();

    button(w, "cmdTime")->click();

    if (installed) {
        QCOMPARE(env.launcher.started.size(), 1);
        QCOMPARE(env.launcher.started[0].program, QStringLiteral("/usr/bin/gnome-control-center"));
        QCOMPARE(env.launcher.started[0].arguments, QStringList{QStringLiteral("datetime")});
    }
    const bool failed = !installed || !starts;
    QCOMPARE(env.messages.texts,
             failed ? QStringList{QStringLiteral("打开错误，请重试！")} : QStringList{});
    QCOMPARE(env.table->loaded<OptionsDialog>(), w);
}

QTEST_MAIN(tst_OptionsDialog)
#include "tst_optionsdialog.moc"
