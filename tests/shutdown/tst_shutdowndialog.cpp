#include "app/commandrunner.h"
#include "controlof.h"
#include "savesettings.h"
#include "shutdown/shutdowndialog.h"
#include "testenvironment.h"
#include "ui/labelbutton.h"
#include "ui/updown.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>

namespace {
const QString HourNaN = "你的输入不合法,请输入(0-23)的数字!";
const QString HourBig = "请输入小于24的数!";
const QString MinuteBig = "请输入小于60的数!";
const QString BadTime = "你的输入不正确，请输入时间!";
} // namespace

class tst_ShutdownDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;

    void save(const QStringList &settings) { saveSettings(*env->store, settings); }
    QString stored(const QString &key)
    {
        return env->reopenStore()->get("Settings", key, "<none>");
    }
    QByteArray settingsFile()
    {
        QFile f(env->settingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    ShutdownDialog *open()
    {
        ShutdownDialog *w = env->table->show<ShutdownDialog>();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the dialog did not become active");
        return w;
    }
    static void click(QWidget *target)
    {
        if (qobject_cast<LabelButton *>(target))
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(8, 8));
        else
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(6, target->height() / 2));
    }
    /// Moves the focus as a click on `to` would, and lets the leave check run.
    static void moveFocus(QWidget *to)
    {
        to->setFocus(Qt::MouseFocusReason);
        QTest::qWait(0);
    }

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    void opening_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<bool>("daily");
        QTest::addColumn<bool>("noPrompt");
        QTest::addColumn<bool>("armed");

        QTest::newRow("fresh store") << QStringList() << ""
                                     << "" << false << false << false;
        QTest::newRow("daily: its time, hour and minute as typed")
            << QStringList{"chkclosetime=1", "timer=7:05:00",  "hour=07",
                           "minute=5",       "chkImedClose=1", "chkopenclose=1"}
            << "07"
            << "5" << true << true << true;
        QTest::newRow("daily, the alarm's hour and minute: its own time")
            << QStringList{"chkclosetime=1", "timer=22:30:00", "hour=7", "minute=5",
                           "itimer=7:05:00"}
            << "22"
            << "30" << true << false << false;
        QTest::newRow("daily on the hour, typed with two zeros: boxes it accepts")
            << QStringList{"chkclosetime=1", "timer=22:00:00", "hour=22", "minute=00",
                           "chkopenclose=1"}
            << "22"
            << "0" << true << false << true;
        QTest::newRow("daily at midnight, typed 00:00")
            << QStringList{"chkclosetime=1", "timer=0:00:00", "hour=00", "minute=00",
                           "chkopenclose=1"}
            << "0"
            << "0" << true << false << true;
        QTest::newRow("daily without a time: empty boxes")
            << QStringList{"chkclosetime=1", "hour=7", "minute=5"} << ""
            << "" << true << false << false;
        QTest::newRow("not daily: empty boxes whatever is stored")
            << QStringList{"chkclosetime=0", "hour=7", "minute=5", "timer=7:05:00"} << ""
            << "" << false << false << false;
        QTest::newRow("hand-edited values") << QStringList{"chkclosetime=1", "hour=x", "minute=99",
                                                           "timer=7:99:00", "chkopenclose=yes"}
                                            << ""
                                            << "" << true << false << false;
    }
    void opening()
    {
        QFETCH(QStringList, settings);
        save(settings);
        ShutdownDialog *w = open();
        QCOMPARE(w->pos(), QPoint(195, 165));
        QCOMPARE(w->size(), QSize(484, 316));
        QCOMPARE(w->windowTitle(), QString("定时关机"));
        QVERIFY(controlOf<QRadioButton>(w, "OptInTime")->isChecked());
        QVERIFY(!controlOf<QRadioButton>(w, "OptCountDownStart")->isChecked());
        QVERIFY(controlOf<QLineEdit>(w, "txtHour")->isEnabled());
        QVERIFY(!controlOf<QSlider>(w, "SliderLg")->isEnabled());
        QCOMPARE(controlOf<QSlider>(w, "SliderLg")->value(), 0);
        QVERIFY(controlOf<QLabel>(w, "lblPrompt")->isHidden());
        QCOMPARE(controlOf<QLabel>(w, "lblDispTime")->text(), QString());
        QCOMPARE(QApplication::focusWidget(), controlOf<QPushButton>(w, "cmdCancel"));
        QTEST(controlOf<QLineEdit>(w, "txtHour")->text(), "hour");
        QTEST(controlOf<QLineEdit>(w, "txtMinute")->text(), "minute");
        QTEST(controlOf<QCheckBox>(w, "chkCloseTime")->isChecked(), "daily");
        QTEST(controlOf<QCheckBox>(w, "chkImedClose")->isChecked(), "noPrompt");
        QTEST(controlOf<QCheckBox>(w, "chkOpenClose")->isChecked(), "armed");
        QCOMPARE(controlOf<UpDown>(w, "UpDownHour")->value(),
                 controlOf<QLineEdit>(w, "txtHour")->text().toInt());
        QVERIFY(env->messages.texts.isEmpty());
    }

    void modesAndSlider()
    {
        ShutdownDialog *w = open();
        controlOf<QCheckBox>(w, "chkCloseTime")->setChecked(true);
        click(controlOf<QRadioButton>(w, "OptCountDownStart"));
        QVERIFY(controlOf<QRadioButton>(w, "OptCountDownStart")->isChecked());
        QVERIFY(!controlOf<QRadioButton>(w, "OptInTime")->isChecked());
        for (QWidget *c : std::initializer_list<QWidget *>{
                 controlOf<QLineEdit>(w, "txtHour"), controlOf<QLineEdit>(w, "txtMinute"),
                 controlOf<UpDown>(w, "UpDownHour"), controlOf<UpDown>(w, "UpDownMinute"),
                 controlOf<QCheckBox>(w, "chkCloseTime")})
            QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        QVERIFY(controlOf<QCheckBox>(w, "chkCloseTime")->isChecked()); // the check mark stays
        QVERIFY(controlOf<QSlider>(w, "SliderLg")->isEnabled());
        QVERIFY(controlOf<QLabel>(w, "lblPrompt")->isVisible());
        QCOMPARE(controlOf<QLabel>(w, "lblPrompt")->text(), QString("单击“确定”"));
        QCOMPARE(controlOf<QLabel>(w, "lblDispTime")->text(), QString("0"));

        controlOf<QSlider>(w, "SliderLg")->setFocus();
        QTest::keyClick(controlOf<QSlider>(w, "SliderLg"), Qt::Key_Right);
        QCOMPARE(controlOf<QLabel>(w, "lblDispTime")->text(), QString("1"));
        QTest::keyClick(controlOf<QSlider>(w, "SliderLg"), Qt::Key_PageUp);
        QCOMPARE(controlOf<QLabel>(w, "lblDispTime")->text(), QString("6"));
        QTest::keyClick(controlOf<QSlider>(w, "SliderLg"), Qt::Key_End);
        QCOMPARE(controlOf<QLabel>(w, "lblDispTime")->text(), QString("180"));

        click(controlOf<QRadioButton>(w, "OptInTime"));
        QVERIFY(controlOf<QLineEdit>(w, "txtHour")->isEnabled());
        QVERIFY(!controlOf<QSlider>(w, "SliderLg")->isEnabled());
        QVERIFY(controlOf<QLabel>(w, "lblPrompt")->isHidden());
        QCOMPARE(controlOf<QLabel>(w, "lblDispTime")->text(), QString("180"));
    }

    void entryCheckAndSpinners()
    {
        ShutdownDialog *w = open();
        QTest::keyClicks(controlOf<QLineEdit>(w, "txtHour"), "00");
        QTest::keyClicks(controlOf<QLineEdit>(w, "txtMinute"), "60");
        QCOMPARE(env->messages.texts, (QStringList{HourNaN, MinuteBig}));
        QCOMPARE(QApplication::focusWidget(), controlOf<QLineEdit>(w, "txtMinute"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtHour")->text(), QString());
        QCOMPARE(controlOf<QLineEdit>(w, "txtMinute")->text(), QString());
        env->messages.texts.clear();

        QTest::keyClicks(controlOf<QLineEdit>(w, "txtMinute"), "50");
        QCOMPARE(controlOf<UpDown>(w, "UpDownMinute")->value(), 50);
        click(controlOf<QToolButton>(controlOf<UpDown>(w, "UpDownMinute"), "up"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtMinute")->text(), QString("51"));
        for (int i = 0; i < 30; ++i)
            click(controlOf<QToolButton>(controlOf<UpDown>(w, "UpDownHour"), "up"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtHour")->text(), QString("23"));
        QTest::keyClicks(controlOf<QLineEdit>(w, "txtHour"), "4"); // "234"
        QCOMPARE(env->messages.texts, QStringList{HourBig});
    }

    void leaveCheck_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("spinner");

        QTest::newRow("minute left empty") << "txtMinute"
                                           << ""
                                           << "chkCloseTime" << true << 0;
        QTest::newRow("hour left empty for the minute box") << "txtHour"
                                                            << ""
                                                            << "txtMinute" << true << 0;
        QTest::newRow("negative") << "txtHour"
                                  << "-3"
                                  << "chkImedClose" << true << 0;
        QTest::newRow("digits and a letter") << "txtMinute"
                                             << "1a"
                                             << "txtHour" << true << 0;
        QTest::newRow("fraction: the spinner rounds, the text stays") << "txtHour"
                                                                      << "7.6"
                                                                      << "txtMinute" << false << 8;
        QTest::newRow("a whole number") << "txtMinute"
                                        << "45"
                                        << "chkOpenClose" << false << 45;
        QTest::newRow("to Cancel: no check") << "txtMinute"
                                             << ""
                                             << "cmdCancel" << false << 0;
        QTest::newRow("to OK: OK checks") << "txtMinute"
                                          << ""
                                          << "cmdOk" << false << 0;
        QTest::newRow("to the countdown: no check") << "txtHour"
                                                    << ""
                                                    << "OptCountDownStart" << false << 0;
    }
    void leaveCheck()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, to);
        QFETCH(bool, refused);
        ShutdownDialog *w = open();
        auto *edit = w->findChild<QLineEdit *>(box);
        edit->setFocus();
        edit->setText(text);
        env->messages.texts.clear();
        moveFocus(w->findChild<QWidget *>(to));
        QCOMPARE(env->messages.texts, refused ? QStringList{BadTime} : QStringList());
        if (refused)
            QCOMPARE(QApplication::focusWidget(), controlOf<QLineEdit>(w, "txtHour"));
        QCOMPARE(edit->text(), text);
        QTEST((box == "txtHour" ? controlOf<UpDown>(w, "UpDownHour")
                                : controlOf<UpDown>(w, "UpDownMinute"))
                  ->value(),
              "spinner");
    }

    void leavingTheWindowChecksNothing()
    {
        ShutdownDialog *w = open();
        controlOf<QLineEdit>(w, "txtMinute")->setFocus();
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(env->messages.texts.isEmpty());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

    void help()
    {
        ShutdownDialog *w = open();
        click(controlOf<QPushButton>(w, "cmdHelp"));
        QCOMPARE(env->messages.texts, QStringList{" 您可以选取其中的任一种方法设置关机的时间!"});
        QCOMPARE(env->messages.captions, QStringList{"帮助"});
        QCOMPARE(env->messages.informationIcons, QList<bool>{true});
        QVERIFY(env->table->isLoaded<ShutdownDialog>());
    }

    void okStores_data()
    {
        QTest::addColumn<QString>("mode"); // "time" or countdown minutes
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<bool>("daily");
        QTest::addColumn<bool>("armed");
        QTest::addColumn<QDateTime>("now");
        // timer, timerdate, chkclosetime, hour, minute, chkImedClose, chkopenclose
        QTest::addColumn<QStringList>("expected");
        const QDate day(2026, 3, 2);
        const QDateTime noon(day, QTime(12, 0));

        QTest::newRow("time, not daily: today")
            << "time"
            << "22"
            << "5" << false << true << noon
            << QStringList{"22:05:00", "2026-03-02", "0", "9", "15", "1", "1"};
        QTest::newRow("time, not daily, already past: tomorrow")
            << "time"
            << "7"
            << "30" << false << true << noon
            << QStringList{"7:30:00", "2026-03-03", "0", "9", "15", "1", "1"};
        QTest::newRow("time, not daily, this very minute: tomorrow")
            << "time"
            << "12"
            << "0" << false << true << QDateTime(day, QTime(12, 0, 0, 300))
            << QStringList{"12:00:00", "2026-03-03", "0", "9", "15", "1", "1"};
        QTest::newRow("time, daily: hour and minute as typed, no day")
            << "time"
            << "07"
            << "30" << true << true << noon
            << QStringList{"7:30:00", "", "1", "07", "30", "1", "1"};
        QTest::newRow("time, both boxes empty, switched off: no time, the rest kept")
            << "time"
            << ""
            << "" << true << false << noon
            << QStringList{"", "2026-02-27", "1", "9", "15", "1", "0"};
        QTest::newRow("countdown 30 at 23:50:40")
            << "30"
            << ""
            << "" << true << true << QDateTime(day, QTime(23, 50, 40))
            << QStringList{"0:20:40", "2026-03-03", "0", "9", "15", "1", "1"};
        QTest::newRow("countdown 15 at 10:45:10")
            << "15"
            << ""
            << "" << false << true << QDateTime(day, QTime(10, 45, 10))
            << QStringList{"11:00:10", "2026-03-02", "0", "9", "15", "1", "1"};
        QTest::newRow("countdown 15 at 10:45:10.250: the whole second after")
            << "15"
            << ""
            << "" << false << true << QDateTime(day, QTime(10, 45, 10, 250))
            << QStringList{"11:00:11", "2026-03-02", "0", "9", "15", "1", "1"};
        QTest::newRow("countdown 0 at 10:15:30: now, not tomorrow")
            << "0"
            << ""
            << "" << false << true << QDateTime(day, QTime(10, 15, 30))
            << QStringList{"10:15:30", "2026-03-02", "0", "9", "15", "1", "1"};
        QTest::newRow("countdown 180 at 22:30")
            << "180"
            << ""
            << "" << false << true << QDateTime(day, QTime(22, 30))
            << QStringList{"1:30:00", "2026-03-03", "0", "9", "15", "1", "1"};
    }
    void okStores()
    {
        QFETCH(QString, mode);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(bool, daily);
        QFETCH(bool, armed);
        QFETCH(QDateTime, now);
        save({"hour=9", "minute=15", "chkclosetime=1", "timer=9:15:00", "timerdate=2026-02-27"});
        env->clock.set(now);
        ShutdownDialog *w = open();
        controlOf<QLineEdit>(w, "txtHour")->setText(hour);
        controlOf<QLineEdit>(w, "txtMinute")->setText(minute);
        controlOf<QCheckBox>(w, "chkCloseTime")->setChecked(daily);
        controlOf<QCheckBox>(w, "chkImedClose")->setChecked(true);
        controlOf<QCheckBox>(w, "chkOpenClose")->setChecked(armed);
        if (mode != "time") {
            click(controlOf<QRadioButton>(w, "OptCountDownStart"));
            controlOf<QSlider>(w, "SliderLg")->setValue(mode.toInt());
        }
        click(controlOf<QPushButton>(w, "cmdOk"));
        QVERIFY(!env->table->isLoaded<ShutdownDialog>());
        QVERIFY(env->messages.texts.isEmpty());
        QTEST((QStringList{stored("timer"), stored("timerdate"), stored("chkclosetime"),
                           stored("hour"), stored("minute"), stored("chkImedClose"),
                           stored("chkopenclose")}),
              "expected");
    }

    void switchesAreStoredAsSet()
    {
        save({"chkImedClose=1", "chkopenclose=1"});
        ShutdownDialog *w = open();
        controlOf<QLineEdit>(w, "txtHour")->setText("22");
        controlOf<QLineEdit>(w, "txtMinute")->setText("30");
        controlOf<QCheckBox>(w, "chkImedClose")->setChecked(false);
        click(controlOf<QPushButton>(w, "cmdOk"));
        QCOMPARE(stored("chkImedClose"), QString("0"));
        QCOMPARE(stored("chkopenclose"), QString("1"));
        QCOMPARE(stored("timer"), QString("22:30:00"));
    }

    void invalidTimesAreRefused_data()
    {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<bool>("armed");
        QTest::addColumn<QString>("offending");
        QTest::newRow("minute missing") << "22"
                                        << "" << false << "txtMinute";
        QTest::newRow("hour missing") << ""
                                      << "30" << false << "txtHour";
        QTest::newRow("fraction the leave check let through") << "7.6"
                                                              << "0" << false << "txtHour";
        QTest::newRow("negative minute") << "7"
                                         << "-5" << false << "txtMinute";
        QTest::newRow("digits then a letter") << "7"
                                              << "3a" << false << "txtMinute";
        QTest::newRow("switched on without a time") << ""
                                                    << "" << true << "txtHour";
    }
    void invalidTimesAreRefused()
    {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(bool, armed);
        QFETCH(QString, offending);
        save({"hour=9", "minute=15", "timer=9:15:00", "chkopenclose=1"});
        const QByteArray before = settingsFile();
        ShutdownDialog *w = open();
        controlOf<QLineEdit>(w, "txtHour")->setText(hour);
        controlOf<QLineEdit>(w, "txtMinute")->setText(minute);
        controlOf<QCheckBox>(w, "chkCloseTime")->setChecked(true);
        controlOf<QCheckBox>(w, "chkOpenClose")->setChecked(armed);
        controlOf<QCheckBox>(w, "chkImedClose")->setFocus();
        click(controlOf<QPushButton>(w, "cmdOk"));
        QTest::qWait(0);
        QCOMPARE(env->messages.texts, QStringList{BadTime});
        QVERIFY(env->table->isLoaded<ShutdownDialog>());
        QCOMPARE(QApplication::focusWidget(), w->findChild<QLineEdit *>(offending));
        QCOMPARE(settingsFile(), before);
    }

    // Loaded before the terminal changed the schedule, the dialog shows the
    // new one when it opens, and OK with it is accepted and keeps it.
    void showsWhatTheTerminalStoredMeanwhile()
    {
        save({"chkclosetime=1", "timer=7:05:00", "hour=7", "minute=5", "chkopenclose=0"});
        ShutdownDialog *hidden = env->table->window<ShutdownDialog>();
        QVERIFY(!hidden->isVisible());
        CommandRunner runner(*env->table);
        QCOMPARE(runner.run({"--shutdown-at", "22:00", "--daily"}).exitCode, 0);

        ShutdownDialog *w = open();
        QCOMPARE(w, hidden);
        QCOMPARE(controlOf<QLineEdit>(w, "txtHour")->text(), QString("22"));
        QCOMPARE(controlOf<QLineEdit>(w, "txtMinute")->text(), QString("0"));
        QVERIFY(controlOf<QCheckBox>(w, "chkCloseTime")->isChecked());
        QVERIFY(controlOf<QCheckBox>(w, "chkOpenClose")->isChecked());
        click(controlOf<QPushButton>(w, "cmdOk"));
        QVERIFY(!env->table->isLoaded<ShutdownDialog>());
        QCOMPARE(env->messages.texts, QStringList());
        QCOMPARE(stored("timer"), QString("22:00:00"));
        QCOMPARE(stored("chkopenclose"), QString("1"));
    }

    void cancelAndCloseMarkStoreNothing_data()
    {
        QTest::addColumn<QString>("via");
        QTest::newRow("取消") << "cmdCancel";
        QTest::newRow("close mark") << "lblClose";
    }
    void cancelAndCloseMarkStoreNothing()
    {
        QFETCH(QString, via);
        save({"timer=9:15:00"});
        const QByteArray before = settingsFile();
        ShutdownDialog *w = open();
        controlOf<QLineEdit>(w, "txtHour")->setText("22");
        controlOf<QLineEdit>(w, "txtMinute")->setText("30");
        controlOf<QCheckBox>(w, "chkOpenClose")->setChecked(true);
        click(w->findChild<QWidget *>(via));
        QVERIFY(!env->table->isLoaded<ShutdownDialog>());
        QCOMPARE(settingsFile(), before);
    }
};

QTEST_MAIN(tst_ShutdownDialog)
#include "tst_shutdowndialog.moc"
