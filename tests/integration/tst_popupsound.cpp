// The chime pop-up with the real sound player, heard on a private PulseAudio
// server whose only sink is a null sink: what reaches the sink's monitor is
// recorded and looked at. The desktop harness starts the server
// (harness-run.sh --sound) and points PULSE_SERVER at it.
//
// The program's folder is this executable's own folder (a private one, see
// CMakeLists.txt): the test puts tolvek.wav there, or takes it away.

#include "alarm/chimepopup.h"
#include "controlof.h"
#include "platform/canberrasoundplayer.h"
#include "testenvironment.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int Rate = 44100;

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QLatin1String(name));
}

} // namespace

class tst_PopupSound : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QByteArray m_recorded;
    QProcess m_recorder;

    QString chimePath() const { return QCoreApplication::applicationDirPath() + "/tolvek.wav"; }

    // A sound made with sox: a sine tone, or silence at volume 0.
    QString makeSound(const QString &name, double seconds, double volume)
    {
        const QString path = m_dir.filePath(name);
        const int rc = QProcess::execute(
            tool("sox"), {"-n", "-r", QString::number(Rate), "-b", "16", "-c", "1", path, "synth",
                          QString::number(seconds), "sine", "660", "vol", QString::number(volume)});
        return rc == 0 ? path : QString();
    }

    void startRecording()
    {
        m_recorded.clear();
        m_recorder.start();
        QVERIFY(m_recorder.waitForStarted());
        // The null sink's monitor runs on its own clock: data flows, silent,
        // as soon as the recording stream is up.
        QTRY_VERIFY_WITH_TIMEOUT(m_recorded.size() > 2 * Rate / 10, 10000);
    }

    void stopRecording()
    {
        if (m_recorder.state() == QProcess::NotRunning)
            return;
        m_recorder.terminate();
        if (!m_recorder.waitForFinished(5000))
            m_recorder.kill();
        m_recorder.waitForFinished();
    }

    int samples() const { return int(m_recorded.size() / 2); }
    int sample(int i) const
    {
        return qint16(quint8(m_recorded[2 * i]) | (quint8(m_recorded[2 * i + 1]) << 8));
    }
    int peakFrom(int first) const
    {
        int peak = 0;
        for (int i = first; i < samples(); ++i)
            peak = std::max(peak, std::abs(sample(i)));
        return peak;
    }
    // The longest run of near-silent samples after `first`.
    int longestQuietFrom(int first) const
    {
        int longest = 0, run = 0;
        for (int i = first; i < samples(); ++i) {
            run = std::abs(sample(i)) < 64 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return longest;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("PULSE_SERVER"),
                 "needs the null sink: run it with tests/support/harness-run.sh --sound");
        for (const char *name : {"parecord", "sox"})
            QVERIFY2(!tool(name).isEmpty(),
                     qPrintable(QStringLiteral("%1 is needed (Debian packages pulseaudio, "
                                               "pulseaudio-utils, sox)")
                                    .arg(QLatin1String(name))));
        QVERIFY(m_dir.isValid());
        m_recorder.setProgram(tool("parecord"));
        m_recorder.setArguments({"--raw", "--format=s16le", "--channels=1", "--rate=44100",
                                 "--latency-msec=20", "-d", "@DEFAULT_MONITOR@"});
        connect(&m_recorder, &QProcess::readyReadStandardOutput, this,
                [this] { m_recorded += m_recorder.readAllStandardOutput(); });
    }

    void cleanup() { stopRecording(); }

    void cleanupTestCase() { QFile::remove(chimePath()); }

    // libcanberra is loaded by the first sound, not by making the player.
    void libraryLoadsWithTheFirstSound()
    {
        const auto loaded = [] {
            QFile maps(QStringLiteral("/proc/self/maps"));
            return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libcanberra");
        };
        CanberraSoundPlayer player;
        QVERIFY(!loaded());
        QVERIFY(player.play(makeSound("tone.wav", 0.1, 0.5)).started());
        QVERIFY(loaded());
    }

    // Without libcanberra the pop-up still opens and says why it is silent.
    void missingLibraryIsReported()
    {
        QFile::remove(chimePath());
        QVERIFY(QFile::copy(makeSound("tolvek.wav", 0.5, 0.7), chimePath()));
        TestEnvironment env;
        CanberraSoundPlayer player(QStringLiteral("libno-such-canberra.so.0"));
        Services services = env.services;
        services.sound = &player;
        WindowTable table(services, *env.store);
        ChimePopup *popup = table.show<ChimePopup>();
        QCOMPARE(env.messages.texts.size(), 1);
        const QString text = env.messages.texts.first();
        QVERIFY2(text.startsWith(QStringLiteral("无法播放声音<tolvek.wav>：")) &&
                     text.contains(QLatin1String("libno-such-canberra")),
                 qPrintable(text));
        QVERIFY(popup->isVisible());
        // Later requests fail the same way, without trying to load it again;
        // an absent file before one does not make it look absent too.
        QCOMPARE(player.play(m_dir.filePath("absent.wav")).outcome,
                 SoundStart::Outcome::FileUnreadable);
        const SoundStart again = player.play(chimePath());
        QCOMPARE(again.outcome, SoundStart::Outcome::Failed);
        QVERIFY2(again.reason.contains(QLatin1String("libno-such-canberra")),
                 qPrintable(again.reason));
    }

    void chimeIsHeard()
    {
        QFile::remove(chimePath());
        const QString committed = QStringLiteral(ZIRVEL_SOUND_SOURCES "/tolvek.wav");
        if (QFile::exists(committed))
            QVERIFY(QFile::copy(committed, chimePath()));
        else
            QVERIFY(QFile::rename(makeSound("tolvek.wav", 1.5, 0.7), chimePath()));

        TestEnvironment env;
        CanberraSoundPlayer player;
        Services services = env.services;
        services.sound = &player;
        WindowTable table(services, *env.store);

        startRecording();
        const int before = samples();
        ChimePopup *popup = table.show<ChimePopup>();
        QVERIFY2(env.messages.texts.isEmpty(), qPrintable(env.messages.texts.join(u'\n')));
        QVERIFY(popup->isVisible());
        QCOMPARE(controlOf<QLabel>(popup, "lblTime")->text(), QStringLiteral("12:00:00"));
        // Loud enough to be the chime: its peak is -3 dBFS.
        QTRY_VERIFY_WITH_TIMEOUT(peakFrom(before) > 8000, 15000);
        stopRecording();
    }

    void missingChimeIsReported()
    {
        QFile::remove(chimePath());
        TestEnvironment env;
        CanberraSoundPlayer player;
        Services services = env.services;
        services.sound = &player;
        WindowTable table(services, *env.store);

        ChimePopup *popup = table.show<ChimePopup>();
        QCOMPARE(env.messages.texts,
                 QStringList{QStringLiteral("找不到<tolvek.wav>文件,请您检查程序目录下\r"
                                            "是否有<tolvek.wav>文件,如没有可以另外改名一 .WAV "
                                            "文件\r 拷到程序目录下即可")});
        QVERIFY(popup->isVisible());
    }

    void unplayableFileIsReported()
    {
        const QString path = m_dir.filePath("not-a-sound.wav");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("RIFF this is not a sound at all");
        f.close();
        CanberraSoundPlayer player;
        // Present but not a sound: not the file's absence, and a reason.
        const SoundStart unplayable = player.play(path);
        QCOMPARE(unplayable.outcome, SoundStart::Outcome::Failed);
        QVERIFY(!unplayable.reason.isEmpty());
        QCOMPARE(player.play(m_dir.filePath("absent.wav")).outcome,
                 SoundStart::Outcome::FileUnreadable);
        QFile unreadable(m_dir.filePath("unreadable.wav"));
        QVERIFY(QFile::copy(makeSound("tone.wav", 0.1, 0.5), unreadable.fileName()));
        QVERIFY(unreadable.setPermissions(QFile::WriteOwner));
        if (!unreadable.open(QIODevice::ReadOnly)) // root reads it anyway
            QCOMPARE(player.play(unreadable.fileName()).outcome,
                     SoundStart::Outcome::FileUnreadable);
    }

    // The chime is there, the sound server is not: one line that says the
    // sound could not be played and why, not that the file is missing.
    void noSoundServerIsReported()
    {
        QFile::remove(chimePath());
        QVERIFY(QFile::copy(makeSound("tolvek.wav", 0.5, 0.7), chimePath()));
        const QByteArray server = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(m_dir.filePath("no-server")));
        TestEnvironment env;
        CanberraSoundPlayer player;
        Services services = env.services;
        services.sound = &player;
        WindowTable table(services, *env.store);
        ChimePopup *popup = table.show<ChimePopup>();
        qputenv("PULSE_SERVER", server);
        if (env.messages.texts.isEmpty())
            QSKIP("a sound device answered without a sound server");
        QCOMPARE(env.messages.texts.size(), 1);
        const QString text = env.messages.texts.first();
        QVERIFY2(text.startsWith(QStringLiteral("无法播放声音<tolvek.wav>：")), qPrintable(text));
        QVERIFY2(text.size() > QStringLiteral("无法播放声音<tolvek.wav>：").size(),
                 qPrintable(text));
        QVERIFY(!text.contains(QLatin1Char('\r')));
        QVERIFY(popup->isVisible());
    }

    // A new request stops the sound still playing: a long tone, then a long
    // silence; the tone must give way to the silence long before it ends.
    void newSoundCutsThePlayingOne()
    {
        const QString tone = makeSound("tone.wav", 12, 0.7);
        const QString quiet = makeSound("quiet.wav", 12, 0);
        QVERIFY(!tone.isEmpty() && !quiet.isEmpty());
        CanberraSoundPlayer player;

        startRecording();
        int mark = samples();
        QVERIFY(player.play(tone).started());
        QVERIFY2(player.driver() == QLatin1String("pulse"),
                 "libcanberra's PulseAudio backend (Debian package libcanberra-pulse) is "
                 "needed to stop a sound that is still playing");
        QTRY_VERIFY_WITH_TIMEOUT(peakFrom(mark) > 8000, 15000);
        mark = samples();
        QVERIFY(player.play(quiet).started());
        // Two seconds of silence while the tone had ten more to go.
        QTRY_VERIFY_WITH_TIMEOUT(longestQuietFrom(mark) > 2 * Rate, 9000);
        stopRecording();
    }
};

QTEST_MAIN(tst_PopupSound)
#include "tst_popupsound.moc"
