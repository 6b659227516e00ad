#include "alarm/alarmdialog.h"
#include "app/commandrunner.h"
#include "controlof.h"
#include "savesettings.h"
#include "shutdown/shutdowndialog.h"
#include "testenvironment.h"
#include "ui/labelbutton.h"
#include "ui/updown.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {
const QString HourNaN = "你的输入不合法,请输入(0-23)的数字!";
const QString MinuteNaN = "你的输入不合法,请输入(0-59)的数字!";
const QString HourBig = "请输入小于24的数!";
const QString MinuteBig = "请输入小于60的数!";
const QString BadTime = "你的输入不正确，请输入时间!";
} // namespace

class tst_AlarmDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;

    void save(const QStringList &settings) { saveSettings(*env->store, settings); }
    QString stored(const char *key) { return env->reopenStore()->get("Settings", key, "<none>"); }
    QByteArray settingsFile()
    {
        QFile f(env->settingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    AlarmDialog *open()
    {
        AlarmDialog *w = env->table->show<AlarmDialog>();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the dialog did not become active");
        return w;
    }
    QLineEdit *box(AlarmDialog *w, const QString &name)
    {
        return name == "txtHour" ? controlOf<QLineEdit>(w, "txtHour")
                                 : controlOf<QLineEdit>(w, "txtMinute");
    }
    static void click(QWidget *target)
    {
        if (auto *label = qobject_cast<LabelButton *>(target))
            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(8, 8));
        else
            QTest::mouseClick(target, Qt::LeftButton);
    }

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    void loadsFromTheStore_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<bool>("armed");
        QTest::addColumn<int>("hourSpinner");
        QTest::addColumn<int>("minuteSpinner");

        QTest::newRow("fresh store: empty boxes, alarm on") << QStringList() << ""
                                                            << ""
                                                            << "" << true << 0 << 0;
        QTest::newRow("stored alarm: its time as typed")
            << QStringList{"hour=7", "minute=05", "itimer=7:05:00", "prompt=起床", "chkyntimer=0"}
            << "7"
            << "05"
            << "起床" << true << 7 << 5;
        QTest::newRow("the shutdown's hour and minute: the alarm's own time")
            << QStringList{"hour=22", "minute=30", "itimer=7:05:00", "timer=22:30:00"} << "7"
            << "5"
            << "" << true << 7 << 5;
        QTest::newRow("alarm time cleared: empty boxes")
            << QStringList{"hour=7", "minute=5", "itimer=", "prompt=起床"} << ""
            << ""
            << "起床" << true << 0 << 0;
        QTest::newRow("alarm off") << QStringList{"chkyntimer=1"} << ""
                                   << ""
                                   << "" << false << 0 << 0;
        QTest::newRow("switch not a number reads as on") << QStringList{"chkyntimer=x"} << ""
                                                         << ""
                                                         << "" << true << 0 << 0;
        QTest::newRow("hand-edited time fields are not shown")
            << QStringList{"hour=abc", "minute=75", "prompt=p"} << ""
            << ""
            << "p" << true << 0 << 0;
        // A full hour as the terminal takes it ("7:00", "00:00"): the boxes
        // get texts they accept, with no message over the clock.
        QTest::newRow("a full hour typed with two zeros")
            << QStringList{"hour=7", "minute=00", "itimer=7:00:00"} << "7"
            << "0"
            << "" << true << 7 << 0;
        QTest::newRow("midnight typed with two zeros each")
            << QStringList{"hour=00", "minute=00", "itimer=0:00:00"} << "0"
            << "0"
            << "" << true << 0 << 0;
        QTest::newRow("hand-edited fields beside a time: the time")
            << QStringList{"hour=abc", "minute=75", "itimer=6:40:00"} << "6"
            << "40"
            << "" << true << 6 << 40;
    }
    void loadsFromTheStore()
    {
        QFETCH(QStringList, settings);
        save(settings);
        AlarmDialog *w = env->table->window<AlarmDialog>();
        QVERIFY(!w->isVisible());
        QTEST(controlOf<QLineEdit>(w, "txtHour")->text(), "hour");
        QTEST(controlOf<QLineEdit>(w, "txtMinute")->text(), "minute");
        QTEST(controlOf<QLineEdit>(w, "txtPrompt")->text(), "prompt");
        QTEST(controlOf<QCheckBox>(w, "chkOpenTimer")->isChecked(), "armed");
        QTEST(controlOf<UpDown>(w, "UpDownHour")->value(), "hourSpinner");
        QTEST(controlOf<UpDown>(w, "UpDownMinute")->value(), "minuteSpinner");
        QCOMPARE(env->messages.texts, QStringList());
    }

    void layoutTabOrderAndFocus()
    {
        AlarmDialog *w = open();
        QCOMPARE(w->windowTitle(), QString("闹钟"));
        QCOMPARE(w->size(), QSize(485, 316));
        const QPoint off = w->geometry().center() - w->screen()->geometry().center();
        QVERIFY2(off.manhattanLength() <= 2, "centred on the screen");
        QCOMPARE(w->findChild<QWidget *>("fraTime")->geometry(), QRect(32, 64, 409, 161));
        QCOMPARE(controlOf<QLineEdit>(w, "txtPrompt")->mapTo(w, QPoint()),
                 QPoint(32 + 96, 64 + 96));
        QCOMPARE(controlOf<QPushButton>(w, "cmdOk")->text(), QString("确定(&O)"));
        QCOMPARE(controlOf<QPushButton>(w, "cmdCancel")->text(), QString("取消(&C)"));
        QCOMPARE(controlOf<QCheckBox>(w, "chkOpenTimer")->text(), QString("开启闹钟"));

        QStringList order;
        for (int i = 0; i < 9; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"cmdCancel", "cmdOk", "txtPrompt", "txtMinute", "txtHour",
                                     "UpDownHour", "UpDownMinute", "chkOpenTimer", "cmdCancel"}));
    }

    void typing_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("spinner");
        QTest::addColumn<bool>("focusInBox");

        QTest::newRow("0") << "txtHour"
                           << "0"
                           << "0" << QStringList() << 0 << false;
        QTest::newRow("00 refused") << "txtHour"
                                    << "00"
                                    << "" << QStringList{HourNaN} << 0 << false;
        QTest::newRow("letter refused") << "txtMinute"
                                        << "x"
                                        << "" << QStringList{MinuteNaN} << 0 << false;
        QTest::newRow("24 too large") << "txtHour"
                                      << "24"
                                      << "" << QStringList{HourBig} << 2 << true;
        QTest::newRow("60 too large") << "txtMinute"
                                      << "60"
                                      << "" << QStringList{MinuteBig} << 6 << true;
        QTest::newRow("5 then 0") << "txtMinute"
                                  << "50"
                                  << "50" << QStringList() << 50 << false;
        QTest::newRow("07 kept as typed") << "txtHour"
                                          << "07"
                                          << "07" << QStringList() << 7 << false;
        QTest::newRow("7a left as typed") << "txtHour"
                                          << "7a"
                                          << "7a" << QStringList() << 7 << false;
    }
    void typing()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        AlarmDialog *w = open();
        QLineEdit *edit = this->box(w, box);
        QCOMPARE(QApplication::focusWidget(), controlOf<QPushButton>(w, "cmdCancel"));
        QTest::keyClicks(edit, typed);
        QTEST(edit->text(), "text");
        QTEST(env->messages.texts, "messages");
        QTEST((box == "txtHour" ? controlOf<UpDown>(w, "UpDownHour")
                                : controlOf<UpDown>(w, "UpDownMinute"))
                  ->value(),
              "spinner");
        QTEST(QApplication::focusWidget() == edit, "focusInBox");
    }

    void spinnersWriteBareNumbersWithinRange()
    {
        AlarmDialog *w = open();
        for (int i = 0; i < 30; ++i)
            click(controlOf<QToolButton>(controlOf<UpDown>(w, "UpDownHour"), "up"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtHour")->text(), QString("23"));
        click(controlOf<QToolButton>(controlOf<UpDown>(w, "UpDownHour"), "down"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtHour")->text(), QString("22"));
        for (int i = 0; i < 30; ++i)
            click(controlOf<QToolButton>(controlOf<UpDown>(w, "UpDownHour"), "down"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtHour")->text(), QString("0"));

        QTest::keyClicks(controlOf<QLineEdit>(w, "txtMinute"), "50");
        click(controlOf<QToolButton>(controlOf<UpDown>(w, "UpDownMinute"), "up"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtMinute")->text(), QString("51"));
        for (int i = 0; i < 30; ++i)
            click(controlOf<QToolButton>(controlOf<UpDown>(w, "UpDownMinute"), "up"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtMinute")->text(), QString("59"));
        QVERIFY(env->messages.texts.isEmpty());
    }

    void enterMovesToTheNextControl()
    {
        AlarmDialog *w = open();
        QSignalSpy enter(controlOf<QLineEdit>(w, "txtPrompt"), &QLineEdit::returnPressed);
        controlOf<QLineEdit>(w, "txtPrompt")->setFocus();
        QTest::keyClick(controlOf<QLineEdit>(w, "txtPrompt"), Qt::Key_Return);
        QCOMPARE(enter.count(), 1); // the box still sees its Enter
        QTRY_COMPARE(QApplication::focusWidget(), controlOf<QLineEdit>(w, "txtMinute"));
        QTest::keyClick(controlOf<QLineEdit>(w, "txtMinute"), Qt::Key_Enter);
        QTRY_COMPARE(QApplication::focusWidget(), controlOf<QLineEdit>(w, "txtHour"));
        QTest::keyClick(controlOf<QLineEdit>(w, "txtHour"), Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), controlOf<UpDown>(w, "UpDownHour"));
    }

    void okStores_data()
    {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<bool>("armed");
        QTest::addColumn<QString>("via");
        QTest::addColumn<QStringList>("expected"); // hour, minute, prompt, itimer, chkyntimer

        QTest::newRow("7:05 with OK")
            << "7"
            << "5"
            << "起床" << true << "cmdOk" << QStringList{"7", "5", "起床", "7:05:00", "0"};
        QTest::newRow("7:05 with the close mark")
            << "7"
            << "5"
            << "起床" << true << "lblClose" << QStringList{"7", "5", "起床", "7:05:00", "0"};
        QTest::newRow("leading zeros kept as typed")
            << "07"
            << "05"
            << "" << true << "cmdOk" << QStringList{"07", "05", "", "7:05:00", "0"};
        QTest::newRow("midnight") << "0"
                                  << "0"
                                  << "x" << true << "cmdOk"
                                  << QStringList{"0", "0", "x", "0:00:00", "0"};
        QTest::newRow("last minute of the day, alarm off")
            << "23"
            << "59"
            << "x" << false << "cmdOk" << QStringList{"23", "59", "x", "23:59:00", "1"};
        QTest::newRow("both empty: only the alarm time is cleared")
            << ""
            << ""
            << "new" << false << "lblClose" << QStringList{"9", "15", "旧", "", "1"};
    }
    void okStores()
    {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QString, prompt);
        QFETCH(bool, armed);
        QFETCH(QString, via);
        save({"hour=9", "minute=15", "prompt=旧", "itimer=9:15:00", "chkyntimer=0"});
        AlarmDialog *w = open();
        controlOf<QLineEdit>(w, "txtHour")->setText(hour);
        controlOf<QLineEdit>(w, "txtMinute")->setText(minute);
        controlOf<QLineEdit>(w, "txtPrompt")->clear();
        controlOf<QLineEdit>(w, "txtPrompt")->setFocus();
        for (const QChar ch : prompt) // typed as an input method would
            QTest::sendKeyEvent(QTest::Click, controlOf<QLineEdit>(w, "txtPrompt"), Qt::Key_unknown,
                                QString(ch), Qt::NoModifier);
        QCOMPARE(controlOf<QLineEdit>(w, "txtPrompt")->text(), prompt);
        controlOf<QCheckBox>(w, "chkOpenTimer")->setChecked(armed);
        click(w->findChild<QWidget *>(via));
        QVERIFY(!env->table->isLoaded<AlarmDialog>());
        QTEST((QStringList{stored("hour"), stored("minute"), stored("prompt"), stored("itimer"),
                           stored("chkyntimer")}),
              "expected");
        QVERIFY(env->messages.texts.isEmpty());
    }

    // A message with everything the settings file treats specially, pasted
    // as a user would, survives the file and the next start.
    void messageRoundTripsThroughTheFile()
    {
        const QString message = QStringLiteral("开会; 带上 #3 = \"报告\" 和 'x'\n第二行,  完 ");
        AlarmDialog *w = open();
        controlOf<QLineEdit>(w, "txtHour")->setText("7");
        controlOf<QLineEdit>(w, "txtMinute")->setText("5");
        controlOf<QLineEdit>(w, "txtPrompt")->clear();
        controlOf<QLineEdit>(w, "txtPrompt")->setFocus();
        QApplication::clipboard()->setText(message);
        QTest::keyClick(controlOf<QLineEdit>(w, "txtPrompt"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(controlOf<QLineEdit>(w, "txtPrompt")->text(), message);
        click(controlOf<QPushButton>(w, "cmdOk"));
        QVERIFY(!env->table->isLoaded<AlarmDialog>());

        QCOMPARE(stored("prompt"), message);
        // The next run: a new store and a new dialog on the same file.
        const std::unique_ptr<SettingsStore> again = env->reopenStore();
        WindowTable table(env->services, *again);
        QCOMPARE(controlOf<QLineEdit>(table.window<AlarmDialog>(), "txtPrompt")->text(), message);
        QCOMPARE(controlOf<QLineEdit>(table.window<AlarmDialog>(), "txtHour")->text(),
                 QString("7"));
        QVERIFY(env->messages.texts.isEmpty());
    }

    void invalidTimesAreRefused_data()
    {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<bool>("armed");
        QTest::addColumn<QString>("offending");
        QTest::newRow("minute missing") << "7"
                                        << "" << false << "txtMinute";
        QTest::newRow("hour missing") << ""
                                      << "5" << false << "txtHour";
        QTest::newRow("negative hour") << "-1"
                                       << "5" << false << "txtHour";
        QTest::newRow("fractional minute") << "7"
                                           << "1.5" << false << "txtMinute";
        QTest::newRow("digits then a letter") << "1a"
                                              << "5" << false << "txtHour";
        QTest::newRow("blank before the hour") << " 7"
                                               << "5" << false << "txtHour";
        QTest::newRow("alarm on without a time") << ""
                                                 << "" << true << "txtHour";
    }
    void invalidTimesAreRefused()
    {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(bool, armed);
        QFETCH(QString, offending);
        save({"hour=9", "minute=15", "itimer=9:15:00"});
        const QByteArray before = settingsFile();
        for (const char *via : {"cmdOk", "lblClose"}) {
            env->messages.texts.clear();
            env->messages.captions.clear();
            AlarmDialog *w = open();
            controlOf<QLineEdit>(w, "txtHour")->setText(hour);
            controlOf<QLineEdit>(w, "txtMinute")->setText(minute);
            controlOf<QCheckBox>(w, "chkOpenTimer")->setChecked(armed);
            controlOf<QLineEdit>(w, "txtPrompt")->setFocus();
            QVERIFY(env->messages.texts.isEmpty());
            click(w->findChild<QWidget *>(via));
            QCOMPARE(env->messages.texts, QStringList{BadTime});
            QCOMPARE(env->messages.captions, QStringList{"Zirvel"});
            QVERIFY(env->table->isLoaded<AlarmDialog>());
            QCOMPARE(QApplication::focusWidget(), box(w, offending));
            QCOMPARE(settingsFile(), before);
            w->unload();
            QTest::qWait(0);
        }
    }

    void cancelStoresNothing()
    {
        save({"hour=9", "minute=15", "itimer=9:15:00"});
        const QByteArray before = settingsFile();
        AlarmDialog *w = open();
        QTest::keyClicks(controlOf<QLineEdit>(w, "txtHour"), "7");
        QTest::keyClicks(controlOf<QLineEdit>(w, "txtMinute"), "5");
        controlOf<QCheckBox>(w, "chkOpenTimer")->setChecked(false);
        click(controlOf<QPushButton>(w, "cmdCancel"));
        QVERIFY(!env->table->isLoaded<AlarmDialog>());
        QCOMPARE(settingsFile(), before);
        QCOMPARE(controlOf<QLineEdit>(env->table->window<AlarmDialog>(), "txtHour")->text(),
                 QString("9"));
    }

    // A dialog loaded hidden (the strip loads it when it is clicked) shows
    // what the terminal stored meanwhile, and OK keeps that, not the values
    // of its load.
    void showsWhatTheTerminalStoredMeanwhile()
    {
        save({"hour=7", "minute=05", "itimer=7:05:00", "prompt=起床", "chkyntimer=0"});
        AlarmDialog *hidden = env->table->window<AlarmDialog>();
        QVERIFY(!hidden->isVisible());
        CommandRunner runner(*env->table);
        QCOMPARE(runner.run({"--alarm", "9:00", "--message", "九点"}).exitCode, 0);
        QCOMPARE(env->messages.texts, QStringList());

        AlarmDialog *w = open();
        QCOMPARE(w, hidden);
        QCOMPARE(controlOf<QLineEdit>(w, "txtHour")->text(), QString("9"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtMinute")->text(), QString("0"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtPrompt")->text(), QString("九点"));
        click(controlOf<QPushButton>(w, "cmdOk"));
        QVERIFY(!env->table->isLoaded<AlarmDialog>());
        QCOMPARE(env->messages.texts, QStringList());
        QCOMPARE(stored("itimer"), QString("9:00:00"));
        QCOMPARE(stored("prompt"), QString("九点"));
    }

    // Each dialog shows and keeps its own time; both still write the shared
    // hour and minute keys.
    void eachDialogKeepsItsOwnTime()
    {
        save({"hour=7", "minute=5", "itimer=7:05:00", "prompt=起床"});
        ShutdownDialog *shutdown = env->table->show<ShutdownDialog>();
        controlOf<QLineEdit>(shutdown, "txtHour")->setText("22");
        controlOf<QLineEdit>(shutdown, "txtMinute")->setText("30");
        controlOf<QCheckBox>(shutdown, "chkCloseTime")->setChecked(true);
        click(controlOf<QPushButton>(shutdown, "cmdOk"));
        QVERIFY(!env->table->isLoaded<ShutdownDialog>());
        QCOMPARE(stored("hour"), QString("22"));
        QCOMPARE(stored("minute"), QString("30"));

        AlarmDialog *w = open();
        QCOMPARE(controlOf<QLineEdit>(w, "txtHour")->text(), QString("7"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtMinute")->text(), QString("5"));
        controlOf<QLineEdit>(w, "txtPrompt")->setText("开会"); // only the message changes
        click(controlOf<QPushButton>(w, "cmdOk"));
        QCOMPARE(stored("itimer"), QString("7:05:00"));
        QCOMPARE(stored("prompt"), QString("开会"));
        QCOMPARE(stored("hour"), QString("7"));
        QCOMPARE(stored("minute"), QString("5"));
        QCOMPARE(stored("timer"), QString("22:30:00"));

        shutdown = env->table->show<ShutdownDialog>();
        QCOMPARE(controlOf<QLineEdit>(shutdown, "txtHour")->text(), QString("22"));
        QCOMPARE(controlOf<QLineEdit>(shutdown, "txtMinute")->text(), QString("30"));
    }
};

QTEST_MAIN(tst_AlarmDialog)
#include "tst_alarmdialog.moc"
