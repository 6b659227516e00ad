#include "autostart/xdgregistry.h"
#include "clock/clockstrip.h"
#include "desktopentryreader.h"
#include "options/optionsdialog.h"
#include "platform/windowsystem.h"
#include "testenvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

namespace {

// Runs a command on the test's display and returns its standard output;
// empty on failure.
QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QByteArray();
    return p.readAllStandardOutput();
}

} // namespace

// The options dialog on a real X server with a window manager (the desktop
// harness starts both): real mouse clicks, the real window-manager states, a
// real autostart folder.
class tst_OptionsX11 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void autoRunWithTheMouse();
    void chkTopOnTheRealClock();

private:
    [[nodiscard]] bool click(QWidget *w);
    bool placedAsQtThinks(QWidget *window) const;
    bool isAbove(QWidget *w) const;
    QString readFile(const QString &path) const;
};

void tst_OptionsX11::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
             "needs an X display: run it with tests/support/harness-run.sh");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is needed");
}

// True when the window is on screen where Qt believes it is, as the X server
// reports it.
bool tst_OptionsX11::placedAsQtThinks(QWidget *window) const
{
    const QByteArray info =
        run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window->winId())});
    const auto field = [&](const QByteArray &name) {
        const qsizetype at = info.indexOf(name);
        return at < 0 ? QByteArray() : info.mid(at + name.size()).split('\n').first().trimmed();
    };
    return field("Map State:") == "IsViewable" &&
           QPoint(field("Absolute upper-left X:").toInt(),
                  field("Absolute upper-left Y:").toInt()) == window->geometry().topLeft();
}

// Clicks the middle of a widget with the real pointer. A window that was just
// shown can be exposed before Qt has heard where the window manager put it
// (openbox reparents it into a frame, maps it, and only then tells the
// client its place); a click aimed from the stale position lands beside the
// window. So wait until Qt's idea of the window's place is the X server's.
bool tst_OptionsX11::click(QWidget *w)
{
    QWidget *window = w->window();
    if (!QTest::qWaitFor([&] { return placedAsQtThinks(window); }))
        return false;
    const QPoint p = w->mapToGlobal(w->rect().center());
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()),
         QStringLiteral("click"), QStringLiteral("1")});
    return true;
}

bool tst_OptionsX11::isAbove(QWidget *w) const
{
    return run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w->winId()),
                                         QStringLiteral("_NET_WM_STATE")})
        .contains("_NET_WM_STATE_ABOVE");
}

QString tst_OptionsX11::readFile(const QString &path) const
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void tst_OptionsX11::autoRunWithTheMouse()
{
    TestEnvironment env;
    X11WindowSystem windows;
    const QString folder = env.dir.filePath(QStringLiteral("config/autostart"));
    XdgRegistry registry({folder, env.dir.filePath(QStringLiteral("system"))}, env.messages);
    env.table->services().windows = &windows;
    env.table->services().registry = &registry;
    env.store->save(QStringLiteral("Settings"), QStringLiteral("chkinttime"), QStringLiteral("1"));

    OptionsDialog *w = env.table->show<OptionsDialog>();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto *autoRun = w->findChild<QCheckBox *>(QStringLiteral("chkAutoRun"));
    const QString entry = folder + QStringLiteral("/QarnexTime.desktop");

    QVERIFY(click(autoRun));
    QTRY_VERIFY(autoRun->isChecked());
    const auto keys = DesktopEntryReader::mainGroup(readFile(entry));
    QVERIFY(keys);
    QVERIFY(!keys->contains(QStringLiteral("Hidden")));
    QCOMPARE(DesktopEntryReader::execArguments(keys->value(QStringLiteral("Exec"))),
             QStringList{QCoreApplication::applicationFilePath()});
    if (const auto remarks = DesktopEntryReader::validate(entry))
        QVERIFY2(remarks->isEmpty(), qPrintable(*remarks));

    // A picture of the dialog as it stands, for people to look at.
    w->repaint();
    QGuiApplication::sync();
    const QRect r = w->frameGeometry();
    run(QStringLiteral("import"),
        {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
         QStringLiteral("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y()),
         QStringLiteral("+repage"), QStringLiteral("options.png")});

    QVERIFY(click(autoRun));
    QTRY_VERIFY(!autoRun->isChecked());
    QCOMPARE(DesktopEntryReader::mainGroup(readFile(entry))->value(QStringLiteral("Hidden")),
             QStringLiteral("true"));

    QVERIFY(click(w->findChild<QPushButton *>(QStringLiteral("cmdOk"))));
    QTRY_VERIFY(!env.table->isLoaded<OptionsDialog>());
    QCOMPARE(env.reopenStore()->get(QStringLiteral("Settings"), QStringLiteral("chkautorun")),
             QStringLiteral("0"));
    QVERIFY(env.messages.texts.isEmpty());
}

void tst_OptionsX11::chkTopOnTheRealClock()
{
    TestEnvironment env;
    X11WindowSystem windows;
    env.table->services().windows = &windows;

    ClockStrip *clock = env.table->window<ClockStrip>();
    QVERIFY(QTest::qWaitForWindowExposed(clock));
    QTRY_VERIFY(isAbove(clock));
    clock->move(300, 500);
    QTRY_COMPARE(clock->pos(), QPoint(300, 500));
    const WId nativeWindow = clock->winId();

    OptionsDialog *w = env.table->show<OptionsDialog>();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto *top = w->findChild<QCheckBox *>(QStringLiteral("chkTop"));

    // The box opens showing the clock on top.
    QVERIFY(top->isChecked());
    QVERIFY(click(top));
    QTRY_VERIFY(!top->isChecked());
    QTRY_VERIFY(!isAbove(clock));
    QVERIFY(click(top));
    QTRY_VERIFY(top->isChecked());
    QTRY_VERIFY(isAbove(clock));

    // OK with the box ticked keeps it on top; in place, same native window.
    QVERIFY(click(w->findChild<QPushButton *>(QStringLiteral("cmdOk"))));
    QTRY_VERIFY(!env.table->isLoaded<OptionsDialog>());
    QVERIFY(isAbove(clock));
    QCOMPARE(clock->winId(), nativeWindow);
    const QByteArray geometry = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                                QString::number(nativeWindow)});
    QVERIFY2(geometry.contains("Position: 300,500"), geometry.constData());
}

int main(int argc, char *argv[])
{
    // Without a display, start anyway: initTestCase says what is missing.
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tst_OptionsX11 test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_options_x11.moc"
