#include "clock/screenplacement.h"

#include <algorithm>
#include <limits>

namespace {

/// True when every pixel of `r` lies in one of `screens` from `first` on.
bool covered(const QRect &r, const QList<ScreenArea> &screens, qsizetype first)
{
    if (r.isEmpty())
        return true;
    for (qsizetype i = first; i < screens.size(); ++i) {
        const QRect in = r & screens[i].geometry;
        if (in.isEmpty())
            continue;
        // What this screen leaves of r must lie on the screens after it.
        const QRect rest[] = {
            QRect(QPoint(r.left(), r.top()), QPoint(r.right(), in.top() - 1)),
            QRect(QPoint(r.left(), in.bottom() + 1), QPoint(r.right(), r.bottom())),
            QRect(QPoint(r.left(), in.top()), QPoint(in.left() - 1, in.bottom())),
            QRect(QPoint(in.right() + 1, in.top()), QPoint(r.right(), in.bottom())),
        };
        return std::all_of(std::begin(rest), std::end(rest),
                           [&](const QRect &part) { return covered(part, screens, i + 1); });
    }
    return false;
}

/// How far `r` lies from `screen`: 0 when they meet.
qint64 distance(const QRect &r, const QRect &screen)
{
    const qint64 dx =
        std::max({qint64(screen.left()) - r.right(), qint64(r.left()) - screen.right(), qint64(0)});
    const qint64 dy =
        std::max({qint64(screen.top()) - r.bottom(), qint64(r.top()) - screen.bottom(), qint64(0)});
    return dx * dx + dy * dy;
}

qint64 overlap(const QRect &r, const QRect &screen)
{
    const QRect in = r & screen;
    return in.isEmpty() ? 0 : qint64(in.width()) * in.height();
}

int clampInto(int start, int length, int areaStart, int areaLength)
{
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

} // namespace

QPoint keepOnScreens(const QRect &window, const QList<ScreenArea> &screens)
{
    if (screens.isEmpty() || covered(window, screens, 0))
        return window.topLeft();

    // The nearest screen; of screens the window touches, the one holding
    // most of it.
    const ScreenArea *nearest = nullptr;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    qint64 bestOverlap = -1;
    for (const ScreenArea &screen : screens) {
        const qint64 d = distance(window, screen.geometry);
        const qint64 o = overlap(window, screen.geometry);
        if (d < bestDistance || (d == bestDistance && o > bestOverlap)) {
            nearest = &screen;
            bestDistance = d;
            bestOverlap = o;
        }
    }
    const QRect area = nearest->available.isValid() ? nearest->available : nearest->geometry;
    return {clampInto(window.x(), window.width(), area.x(), area.width()),
            clampInto(window.y(), window.height(), area.y(), area.height())};
}
