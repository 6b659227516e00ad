#include "clock/clockstrip.h"

#include "alarm/alarmdialog.h"
#include "clock/screenplacement.h"
#include "platform/clock.h"
#include "platform/windowsystem.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "time/secondticker.h"
#include "time/timetext.h"
#include "ui/controltable.h"
#include "ui/fonts.h"
#include "ui/timelabel.h"
#include "ui/titledrag.h"
#include "ui/windowtable.h"

#include <QGuiApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

QList<ScreenArea> screenAreas()
{
    QList<ScreenArea> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append({screen->geometry(), screen->availableGeometry()});
    return areas;
}

} // namespace

// The face is painted by paintEvent(); Label1 is sized to the time it shows.
const QList<ControlRow> &ClockStrip::design()
{
    static const QList<ControlRow> table = {
        {.kind = ControlRow::Kind::Window,
         .rect = {StartPosition, ClientSize},
         .picture = ":/clockface.png",
         .icon = ":/icons/zirvel-32.png"},
        {.kind = ControlRow::Kind::TimeText,
         .name = "Label1",
         .rect = {11, 1, 0, 0},
         .color = QColor(0, 0, 192),
         .font = Fonts::song(12)},
    };
    return table;
}

ClockStrip::ClockStrip(WindowTable &table)
    : ManagedWindow(table,
                    Qt::Window | Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint),
      m_face(windowRow(design()).picture)
{
    // The strip is rarely the active window, yet its date tooltip must show.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    Label1 = control<TimeLabel>(buildControls(this, design()), QStringLiteral("Label1"));
    Label1->setMouseTracking(true);
    Label1->installEventFilter(this);

    m_drag = new TitleDrag(this, *services().windows);
    m_ticker = new SecondTicker(*services().clock, this);
    connect(m_ticker, &SecondTicker::secondPassed, this, &ClockStrip::onSecond);

    // A monitor unplugged, added or rearranged may leave the strip where no
    // screen shows it.
    for (QScreen *screen : QGuiApplication::screens())
        watchScreen(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watchScreen(screen);
        screensChanged();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &ClockStrip::screensChanged);
}

void ClockStrip::watchScreen(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, &ClockStrip::screensChanged,
            Qt::UniqueConnection);
    connect(screen, &QScreen::availableGeometryChanged, this, &ClockStrip::screensChanged,
            Qt::UniqueConnection);
}

void ClockStrip::screensChanged()
{
    // One look once the change is over: a layout change arrives as several
    // notices, and Qt finishes its own part after them.
    if (m_screensChangePending)
        return;
    m_screensChangePending = true;
    QTimer::singleShot(0, this, [this] {
        m_screensChangePending = false;
        keepInView();
    });
}

void ClockStrip::keepInView()
{
    const QPoint place = keepOnScreens(QRect(pos(), size()), screenAreas());
    if (place != pos())
        move(place);
}

ClockStrip::~ClockStrip()
{
    delete m_drag;
}

void ClockStrip::load()
{
    // The start position, unless no screen shows the strip there.
    move(keepOnScreens(QRect(StartPosition, ClientSize), screenAreas()));
    show();
    services().windows->setTopmost(this, true);

    Label1->setText(TimeText::clockText(services().clock->now().time()));
    Label1->adjustSize();
    m_ticker->start();
}

void ClockStrip::unloading()
{
    m_ticker->stop();
    if (!isMinimized()) {
        store().save({{Keys::MainLeft, QString::number(float(x() * 15))},
                      {Keys::MainTop, QString::number(float(y() * 15))}});
    }
}

void ClockStrip::onSecond(const QDateTime &now)
{
    // Timer1: the display. Only the digits that changed are repainted, at
    // once; the label sizes itself when its width changes.
    Label1->setText(TimeText::clockText(now.time()));
    // TimerTiemr: what is due, for whoever follows the strip's seconds.
    emit secondShown(now);
}

void ClockStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(QPoint(0, 0), m_face.pixmap(devicePixelRatioF()));
}

void ClockStrip::mousePressEvent(QMouseEvent *event)
{
    m_drag->press(event);
}

void ClockStrip::mouseMoveEvent(QMouseEvent *event)
{
    m_drag->move(event);
}

void ClockStrip::mouseReleaseEvent(QMouseEvent *event)
{
    m_drag->release(event);
    if (event->button() == Qt::RightButton && table().popupClockMenu)
        table().popupClockMenu(event->globalPosition().toPoint());
}

void ClockStrip::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        unload();
}

bool ClockStrip::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        onActivated();
    return ManagedWindow::event(event);
}

void ClockStrip::onActivated()
{
    // The alarm dialog is loaded, hidden, whenever the clock becomes active.
    if (!table().isLoaded<AlarmDialog>())
        table().window<AlarmDialog>();
}

QString ClockStrip::tooltipText(const QDateTime &now) const
{
    // "ddd" from the C locale: the English abbreviations the weekday table is keyed by,
    // whatever the user's locale, so the Chinese text always shows.
    const QDate d = now.date();
    if (d != m_lunarDate) {
        m_lunarTexts = lunarTooltipTexts(d.year(), d.month(), d.day());
        m_lunarDate = d;
    }
    const QString abbreviation = QLocale::c().toString(d, QStringLiteral("ddd"));
    return QString::fromStdString(
        ::dateTooltip(abbreviation.toStdString(), d.year(), d.month(), d.day(), m_lunarTexts));
}

void ClockStrip::updateDateTooltip()
{
    // Only the label carries a tooltip: the end caps show none.
    Label1->setToolTip(tooltipText(services().clock->now()));
}

bool ClockStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1) {
        switch (event->type()) {
        case QEvent::MouseMove:
            updateDateTooltip(); // the Gregorian part is fresh on every move
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true; // the time label only shows the tooltip
        default:
            break;
        }
    }
    return ManagedWindow::eventFilter(watched, event);
}
