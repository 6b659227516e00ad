// When the settings cannot be kept, the user hears it once, from the main
// loop, with the file and the reason named.

#include "alarm/frmsettime.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

class tst_SettingsProblem : public QObject {
    Q_OBJECT

    static void okOnTheAlarmDialog(TestEnvironment &env, const QString &prompt)
    {
        frmSetTime *w = env.table->show<frmSetTime>();
        w->txtHour->setText(QStringLiteral("7"));
        w->txtMinute->setText(QStringLiteral("5"));
        w->txtPrompt->setText(prompt);
        QTest::mouseClick(w->cmdOk, Qt::LeftButton);
    }

private slots:
    void toldOnceNamingFileAndReason_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("toldAtStart"); // known before anything is saved
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder cannot be made")
            << "file where the folder goes" << false << qt_error_string(ENOTDIR);
        QTest::newRow("fifo") << "fifo" << true << "不是普通文件";
        QTest::newRow("folder") << "folder" << true << "不是普通文件";
    }
    void toldOnceNamingFileAndReason()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, toldAtStart);
        QFETCH(QString, reason);
        TestEnvironment env([&](QString &file) {
            if (obstacle == QLatin1String("fifo")) {
                QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
            } else if (obstacle == QLatin1String("folder")) {
                QVERIFY(QDir().mkpath(file));
            } else {
                // The settings go below a path whose folder is a plain file.
                QFile blocker(QFileInfo(file).absolutePath() + QStringLiteral("/cfg"));
                QVERIFY(blocker.open(QIODevice::WriteOnly));
                file = blocker.fileName() + QStringLiteral("/Zirvel.conf");
            }
        });
        const QString file = env.settingsPath();

        QTest::qWait(0);
        QCOMPARE(env.messages.texts.size(), toldAtStart ? 1 : 0);

        okOnTheAlarmDialog(env, QStringLiteral("first"));
        // Not from inside the dialog's handler: the message waits for the main loop.
        QCOMPARE(env.messages.texts.size(), toldAtStart ? 1 : 0);
        QTRY_COMPARE(env.messages.texts.size(), 1);
        okOnTheAlarmDialog(env, QStringLiteral("second"));
        QTest::qWait(50);
        QCOMPARE(env.messages.texts.size(), 1);

        const QString text = env.messages.texts.first();
        QVERIFY2(text.contains(QDir::toNativeSeparators(file)), qPrintable(text));
        QVERIFY2(text.contains(reason), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("不会被保存")), qPrintable(text));
        QCOMPARE(env.messages.captions.first(), QStringLiteral("Zirvel"));
        // The session goes on with what was confirmed.
        QCOMPARE(env.store->get(QStringLiteral("Settings"), QStringLiteral("prompt")),
                 QStringLiteral("second"));
    }

    void nothingToTellWhenAllIsWell()
    {
        TestEnvironment env;
        okOnTheAlarmDialog(env, QStringLiteral("fine"));
        QTest::qWait(50);
        QCOMPARE(env.messages.texts, QStringList());
    }
};

QTEST_MAIN(tst_SettingsProblem)
#include "tst_settingsproblem.moc"
