// The plainest clock Qt Widgets can make: one frameless label on top, its text
// set once a second. bench/idle-cost.sh runs it beside the clock and xclock,
// so the figures show what Qt itself costs before the clock adds anything.
#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>

int main(int argc, char *argv[])
{
    // As the clock runs: no shared-memory images for a small window.
    qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QLabel label(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    label.setWindowFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint);
    label.show();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &label, [&label] {
        label.setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    });
    timer.start(1000);
    return app.exec();
}
