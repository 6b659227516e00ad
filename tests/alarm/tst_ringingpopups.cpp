#include "alarm/alarmpopup.h"
#include "alarm/chimepopup.h"
#include "controlof.h"
#include "savesettings.h"
#include "settings/settingskeys.h"
#include "testenvironment.h"
#include "ui/labelbutton.h"
#include "ui/wrappinglabel.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <stdexcept>

Q_DECLARE_METATYPE(std::function<void()>)

namespace {

QString missingMessage(const QString &file)
{
    // Written out in full: ASCII commas, blanks around ".WAV", a leading
    // blank on the third line, lines joined by a carriage return alone.
    return QStringLiteral("找不到<") + file + QStringLiteral(">文件,请您检查程序目录下\r") +
           QStringLiteral("是否有<") + file +
           QStringLiteral(">文件,如没有可以另外改名一 .WAV 文件\r") +
           QStringLiteral(" 拷到程序目录下即可");
}

class ThrowingSoundPlayer final : public ISoundPlayer {
public:
    SoundStart play(const QString &) override { throw std::runtime_error("sound service broke"); }
};

} // namespace

class tst_RingingPopups : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;

    RingingPopup *show(const QString &kind, WindowTable *table = nullptr)
    {
        WindowTable &t = table ? *table : *env->table;
        if (kind == QLatin1String("frmTimer"))
            return t.show<AlarmPopup>();
        return t.show<ChimePopup>();
    }
    RingingPopup *loaded(const QString &kind) const
    {
        if (kind == QLatin1String("frmTimer"))
            return env->table->loaded<AlarmPopup>();
        return env->table->loaded<ChimePopup>();
    }
    static QString soundOf(const QString &kind)
    {
        return kind == QLatin1String("frmTimer") ? QStringLiteral("ohmy.wav")
                                                 : QStringLiteral("tolvek.wav");
    }
    static void addKinds()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("alarm") << "frmTimer";
        QTest::newRow("chime") << "frmIntTime";
    }

private slots:
    void init() { env = std::make_unique<TestEnvironment>(); }
    void cleanup() { env.reset(); }

    // Sound present: the time, then topmost, then the sound, all before the
    // window shows; no message.
    void loadsInOrderWithTheSound_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("shown");
        QTest::newRow("chime on the hour") << "frmIntTime" << QTime(14, 0, 0) << "14:00:00";
        QTest::newRow("chime after midnight") << "frmIntTime" << QTime(0, 0, 0) << "0:00:00";
        QTest::newRow("alarm in the morning") << "frmTimer" << QTime(7, 5, 0) << "7:05:00";
        QTest::newRow("alarm at night") << "frmTimer" << QTime(23, 59, 59) << "23:59:59";
    }
    void loadsInOrderWithTheSound()
    {
        QFETCH(QString, kind);
        QFETCH(QTime, now);
        QFETCH(QString, shown);
        env->clock.set(QDateTime(QDate(2026, 12, 10), now.addMSecs(250)));
        bool checked = false;
        env->sound.onPlay = [&] {
            RingingPopup *w = loaded(kind);
            QVERIFY(w && !w->isVisible());
            QCOMPARE(controlOf<QLabel>(w, "lblTime")->text(), shown);
            QCOMPARE(env->windows.topmostCalls.size(), 1);
            QVERIFY(env->windows.topmostCalls[0].on);
            checked = true;
        };

        RingingPopup *w = show(kind);
        QVERIFY(checked);
        QVERIFY(w->isVisible());
        QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(env->sound.played,
                 QStringList{QCoreApplication::applicationDirPath() + u'/' + soundOf(kind)});
        QVERIFY(env->messages.texts.isEmpty());
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(QApplication::focusWidget(), controlOf<QPushButton>(w, "cmdOk"));
    }

    // Sound missing, unplayable, or the load failing outright: the message,
    // once, while the window is still hidden; then the window opens and works.
    void soundMissingOrLoadFailing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("throws");
        QTest::newRow("alarm, sound refused") << "frmTimer" << false;
        QTest::newRow("chime, sound refused") << "frmIntTime" << false;
        QTest::newRow("alarm, load fails") << "frmTimer" << true;
        QTest::newRow("chime, load fails") << "frmIntTime" << true;
    }
    void soundMissingOrLoadFailing()
    {
        QFETCH(QString, kind);
        QFETCH(bool, throws);
        ThrowingSoundPlayer thrower;
        Services services = env->services;
        if (throws)
            services.sound = &thrower;
        env->sound.answer = SoundStart::fileUnreadable();
        WindowTable table(services, *env->store);
        auto loadedHere = [&]() -> RingingPopup * {
            if (kind == QLatin1String("frmTimer"))
                return table.loaded<AlarmPopup>();
            return table.loaded<ChimePopup>();
        };

        bool checked = false;
        env->messages.onShow = [&] {
            RingingPopup *w = loadedHere();
            QVERIFY(w && !w->isVisible());
            // Whatever else runs while the message is up cannot show it early.
            show(kind, &table);
            QVERIFY(!w->isVisible());
            checked = true;
        };
        RingingPopup *w = show(kind, &table);
        QVERIFY(checked);
        QCOMPARE(env->messages.texts, QStringList{missingMessage(soundOf(kind))});
        QCOMPARE(env->messages.captions, QStringList{QStringLiteral("Zirvel")});
        QVERIFY(w->isVisible());
        QCOMPARE(controlOf<QLabel>(w, "lblTime")->text(), QStringLiteral("12:00:00"));
        QCOMPARE(env->sound.played.size(), throws ? 0 : 1);

        QTest::mouseClick(controlOf<QPushButton>(w, "cmdOk"), Qt::LeftButton);
        QVERIFY(!loadedHere());
    }

    // A file that is missing or unreadable gets the three-line message every
    // time; any other failure says in one line that the sound could not be
    // played and why, once per run of the program, whichever pop-up meets it.
    void soundFailureMessages_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("messages");
        const int unreadable = int(SoundStart::Outcome::FileUnreadable);
        const int failed = int(SoundStart::Outcome::Failed);
        QTest::newRow("alarm file missing: each time")
            << "frmTimer"
            << "frmTimer" << unreadable
            << QStringList{missingMessage("ohmy.wav"), missingMessage("ohmy.wav")};
        QTest::newRow("chime file missing: each time")
            << "frmIntTime"
            << "frmIntTime" << unreadable
            << QStringList{missingMessage("tolvek.wav"), missingMessage("tolvek.wav")};
        QTest::newRow("alarm, no sound server: once")
            << "frmTimer"
            << "frmTimer" << failed << QStringList{"无法播放声音<ohmy.wav>：Not available"};
        QTest::newRow("chime then alarm, no sound server: once")
            << "frmIntTime"
            << "frmTimer" << failed << QStringList{"无法播放声音<tolvek.wav>：Not available"};
    }
    void soundFailureMessages()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, outcome);
        env->sound.answer = {SoundStart::Outcome(outcome), QStringLiteral("Not available")};
        RingingPopup *w = show(first);
        QVERIFY(w->isVisible());
        w->unload();
        QTest::qWait(0);
        w = show(second);
        QVERIFY(w->isVisible());
        QTEST(env->messages.texts, "messages");
        QCOMPARE(env->sound.played.size(), 2);
    }

    // Showing an open pop-up again loads nothing: no sound, no message, the
    // time stays; after a close the next show is a fresh load.
    void reshowWhileOpenThenAfresh_data() { addKinds(); }
    void reshowWhileOpenThenAfresh()
    {
        QFETCH(QString, kind);
        env->sound.answer = SoundStart::fileUnreadable();
        RingingPopup *w = show(kind);
        env->clock.advance(5000);
        QCOMPARE(show(kind), w);
        QCOMPARE(env->sound.played.size(), 1);
        QCOMPARE(env->messages.texts.size(), 1);
        QCOMPARE(controlOf<QLabel>(w, "lblTime")->text(), QStringLiteral("12:00:00"));

        QTest::mouseClick(w->findChild<LabelButton *>(QStringLiteral("lblMin")), Qt::LeftButton);
        QVERIFY(!loaded(kind));
        env->sound.answer = SoundStart();
        RingingPopup *again = show(kind);
        QCOMPARE(controlOf<QLabel>(again, "lblTime")->text(), QStringLiteral("12:00:05"));
        QCOMPARE(env->sound.played.size(), 2);
        QCOMPARE(env->messages.texts.size(), 1);
    }

    // Every way out closes the pop-up; only the button first leaves the
    // always-on-top band; no way out touches the alarm settings. The alarm's
    // button has Alt+O, the chime's shows "(O)" without a shortcut.
    void closePaths_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("dropsTopmost");
        for (const char *kind : {"frmTimer", "frmIntTime"}) {
            const QString k = QLatin1String(kind);
            QTest::addRow("%s cmdOk", kind) << k << "cmdOk" << true << true;
            QTest::addRow("%s Enter", kind) << k << "Enter" << true << true;
            QTest::addRow("%s lblMin", kind) << k << "lblMin" << true << false;
        }
        QTest::newRow("frmTimer Alt+O") << "frmTimer"
                                        << "Alt+O" << true << true;
        QTest::newRow("frmIntTime Alt+O") << "frmIntTime"
                                          << "Alt+O" << false << false;
    }
    void closePaths()
    {
        QFETCH(QString, kind);
        QFETCH(QString, how);
        QFETCH(bool, closes);
        QFETCH(bool, dropsTopmost);
        saveSettings(*env->store, {"prompt=开会", "itimer=7:05:00", "chkyntimer=0"});
        const QByteArray before = [&] {
            QFile f(env->settingsPath());
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();

        RingingPopup *w = show(kind);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(controlOf<QPushButton>(w, "cmdOk")->text(), kind == QLatin1String("frmTimer")
                                                                 ? QStringLiteral("确 定(&O)")
                                                                 : QStringLiteral("确 定(O)"));
        if (how == QLatin1String("cmdOk"))
            QTest::mouseClick(controlOf<QPushButton>(w, "cmdOk"), Qt::LeftButton);
        else if (how == QLatin1String("Enter"))
            QTest::keyClick(controlOf<QPushButton>(w, "cmdOk"), Qt::Key_Return);
        else if (how == QLatin1String("lblMin"))
            QTest::mouseClick(w->findChild<LabelButton *>(QStringLiteral("lblMin")),
                              Qt::LeftButton);
        else
            QTest::keyClick(w, Qt::Key_O, Qt::AltModifier);

        // The access key presses the button the way a click does, after the
        // button has shown itself pressed for a moment.
        if (closes)
            QTRY_VERIFY(!loaded(kind));
        else
            QTest::qWait(300);
        QCOMPARE(!loaded(kind), closes);
        QCOMPARE(env->windows.topmostCalls.size(), dropsTopmost ? 2 : 1);
        if (dropsTopmost)
            QVERIFY(!env->windows.topmostCalls.last().on);
        QFile f(env->settingsPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    // The alarm message as stored, shown as plain text, wrapped within the
    // box and cut to the lines that fit.
    void alarmMessage_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<bool>("wraps");
        QTest::addColumn<bool>("cut");
        QTest::newRow("never stored") << false << QString() << false << false;
        QTest::newRow("empty") << true << QString() << false << false;
        QTest::newRow("short") << true << QStringLiteral("该起床了") << false << false;
        QTest::newRow("markup shown as written")
            << true << QStringLiteral("<b>别忘了</b> <img src=\"/etc/passwd\"> &amp;") << false
            << false;
        QTest::newRow("two lines") << true
                                   << QStringLiteral("下午两点在三楼会议室讨论新版本的发布计划，"
                                                     "记得带上笔记本。")
                                   << true << false;
        QTest::newRow("long, cut")
            << true << QStringLiteral("闹钟响了，").repeated(30) << true << true;
        QTest::newRow("one long word")
            << true << QStringLiteral("https://example.org/") + QString(120, u'x') << true << true;
    }
    void alarmMessage()
    {
        QFETCH(bool, stored);
        QFETCH(QString, prompt);
        QFETCH(bool, wraps);
        QFETCH(bool, cut);
        if (stored)
            env->store->save(Keys::Prompt, prompt);
        auto *w = static_cast<AlarmPopup *>(show(QStringLiteral("frmTimer")));
        WrappingLabel *box = controlOf<WrappingLabel>(w, "lblPromptMsg");
        QCOMPARE(box->text(), prompt);
        QCOMPARE(box->geometry(), QRect(32, 120, 273, 49));

        const QStringList lines = box->shownLines();
        QCOMPARE(lines.size() > 1, wraps);
        const QFontMetrics metrics(box->font());
        const QRect area = box->contentsRect().adjusted(box->margin(), box->margin(),
                                                        -box->margin(), -box->margin());
        QVERIFY(lines.size() * metrics.height() <= area.height() + 1);
        for (const QString &line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= area.width(), qPrintable(line));
        const QString joined = lines.join(QString());
        QCOMPARE(joined.endsWith(QChar(0x2026)), cut);
        if (!cut)
            QCOMPARE(joined, prompt);
        else
            QVERIFY(prompt.startsWith(joined.chopped(1)));
    }

    // However long the message, nothing is painted outside its box.
    void longMessageStaysInItsBox()
    {
        auto face = [this](const QString &prompt) {
            env->store->save(Keys::Prompt, prompt);
            RingingPopup *w = show(QStringLiteral("frmTimer"));
            const QImage image = w->grab().toImage();
            w->unload();
            return image;
        };
        const QImage empty = face(QString());
        const QImage full = face(QStringLiteral("很长的提醒").repeated(60));
        const QRect box(32, 120, 273, 49);
        int inkInBox = 0;
        for (int y = 0; y < empty.height(); ++y) {
            for (int x = 0; x < empty.width(); ++x) {
                if (box.contains(x, y))
                    inkInBox += empty.pixel(x, y) != full.pixel(x, y);
                else
                    QVERIFY2(empty.pixel(x, y) == full.pixel(x, y),
                             qPrintable(QStringLiteral("painted at %1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY(inkInBox > 0);
    }

    void soundPath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("program folder") << "/usr/lib/zirvel"
                                        << "/usr/lib/zirvel/ohmy.wav";
        QTest::newRow("root") << "/"
                              << "/ohmy.wav";
        QTest::newRow("trailing slash") << "/opt/zirvel/"
                                        << "/opt/zirvel/ohmy.wav";
    }
    void soundPath()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(RingingPopup::soundPath(folder, QStringLiteral("ohmy.wav")), path);
    }
};

QTEST_MAIN(tst_RingingPopups)
#include "tst_ringingpopups.moc"
