// When the settings cannot be kept, the user hears it once, from the main
// loop, with the file and the reason named.

#include "alarm/alarmdialog.h"
#include "controlof.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocalServer>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class tst_SettingsProblem : public QObject {
    Q_OBJECT

    static void okOnTheAlarmDialog(TestEnvironment &env, const QString &prompt)
    {
        AlarmDialog *w = env.table->show<AlarmDialog>();
        controlOf<QLineEdit>(w, "txtHour")->setText(QStringLiteral("7"));
        controlOf<QLineEdit>(w, "txtMinute")->setText(QStringLiteral("5"));
        controlOf<QLineEdit>(w, "txtPrompt")->setText(prompt);
        QTest::mouseClick(controlOf<QPushButton>(w, "cmdOk"), Qt::LeftButton);
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

    // One run meeting one thing after another at the settings path: each is
    // told with its own reason when first met, and not again while it stays.
    void eachProblemToldWithItsOwnReason()
    {
        struct Step {
            const char *what;
            QString reason;
        };
        const QList<Step> steps{
            {"fifo", QStringLiteral("这是一个命名管道")},
            {"60 MB file", QStringLiteral("文件大于 1048576 字节")},
            {"folder", QStringLiteral("这是一个文件夹")},
            {"link to itself", qt_error_string(ELOOP)},
            {"socket", QStringLiteral("这是一个套接字")},
            {"fifo", QStringLiteral("这是一个命名管道")},
        };
        QLocalServer server;
        const auto put = [&server](const QString &file, const QString &what) {
            const QByteArray native = QFile::encodeName(file);
            ::unlink(native.constData());
            ::rmdir(native.constData());
            server.close();
            if (what == QLatin1String("fifo")) {
                QVERIFY(::mkfifo(native.constData(), 0600) == 0);
            } else if (what == QLatin1String("60 MB file")) {
                QFile big(file);
                QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(60 * 1024 * 1024));
            } else if (what == QLatin1String("folder")) {
                QVERIFY(QDir().mkdir(file));
            } else if (what == QLatin1String("link to itself")) {
                QVERIFY(::symlink(native.constData(), native.constData()) == 0);
            } else if (what == QLatin1String("socket")) {
                QVERIFY(server.listen(file));
            }
        };
        TestEnvironment env([&](QString &file) { put(file, QStringLiteral("fifo")); });
        const QString file = env.settingsPath();
        QTest::qWait(0);

        for (qsizetype i = 0; i < steps.size(); ++i) {
            const Step &step = steps.at(i);
            if (i > 0) {
                put(file, QString::fromLatin1(step.what));
                okOnTheAlarmDialog(env, QStringLiteral("step %1").arg(i));
            }
            QTRY_COMPARE(env.messages.texts.size(), i + 1);
            const QString text = env.messages.texts.last();
            QVERIFY2(text.contains(step.reason), qPrintable(step.what + (": " + text)));
            QVERIFY2(text.contains(QDir::toNativeSeparators(file)), qPrintable(text));
            QCOMPARE(env.store->problem(), text);
            // The same thing still there: nothing new to tell.
            okOnTheAlarmDialog(env, QStringLiteral("again %1").arg(i));
            QTest::qWait(20);
            QCOMPARE(env.messages.texts.size(), i + 1);
        }

        // Gone: the next save is on disk, and nothing is left to tell.
        put(file, QStringLiteral("nothing"));
        okOnTheAlarmDialog(env, QStringLiteral("kept"));
        QCOMPARE(env.store->problem(), QString());
        QCOMPARE(env.reopenStore()->text(QStringLiteral("prompt")), QStringLiteral("kept"));
        QTest::qWait(20);
        QCOMPARE(env.messages.texts.size(), steps.size());
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
