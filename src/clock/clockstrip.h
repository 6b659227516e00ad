#pragma once

#include "lunar/lunartext.h"
#include "ui/controltable.h"
#include "ui/managedwindow.h"
#include "ui/picture.h"
#include "ui/timelabel.h"

#include <QDateTime>

class QScreen;
class SecondTicker;
class TitleDrag;

/// The clock strip: 86 × 19, frameless, always on top, no taskbar button,
/// placed at 638, 24 on every load (or, where no screen shows it there, on
/// the nearest screen), and brought back into view when the screens change. Its end caps drag it,
/// close it on a double-click and open its menu on a right click; over the time label only the
/// tooltip reacts.
class ClockStrip : public ManagedWindow {
    Q_OBJECT
public:
    /// The window's object name, by which scripts and tests find it.
    static constexpr const char *WindowName = "frmclockMain";

    static constexpr QPoint StartPosition{638, 24};
    static constexpr QSize ClientSize{86, 19};

    explicit ClockStrip(WindowTable &table);
    ~ClockStrip() override;

    /// The window and its controls.
    static const QList<ControlRow> &design();

    void load() override;

    /// The date tooltip for a moment: weekday, the Gregorian and the lunar
    /// date of `now`.
    QString tooltipText(const QDateTime &now) const;

signals:
    /// Once per second while the window is loaded, after the digits show
    /// that second (TimerTiemr's timer): the scheduler follows it.
    void secondShown(const QDateTime &now);

protected:
    void unloading() override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onSecond(const QDateTime &now);
    void onActivated();
    void updateDateTooltip();
    void watchScreen(QScreen *screen);
    void screensChanged();
    /// Moves the strip into the nearest screen's available area when no
    /// screen shows it whole.
    void keepInView();

    TimeLabel *Label1 = nullptr;
    Picture m_face;
    SecondTicker *m_ticker = nullptr;
    TitleDrag *m_drag = nullptr;
    bool m_screensChangePending = false;
    /// The lunar year and month-day texts of `m_lunarDate`, computed again whenever the
    /// date changes (midnight, the clock set, a resume); empty outside the lunar table.
    mutable QDate m_lunarDate;
    mutable LunarTooltipTexts m_lunarTexts;
};
