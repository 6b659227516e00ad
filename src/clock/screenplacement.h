#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

/// One screen of the desktop in logical pixels: all of it, and the part
/// that panels and docks leave to windows.
struct ScreenArea {
    QRect geometry;
    QRect available;
};

/// Where a window at `window` should be, given the screens: where it is if
/// every pixel of it lies on some screen; otherwise moved the least distance
/// into the available area of the screen nearest to it (its top-left corner
/// first where it is larger than that area). With no screens, where it is.
QPoint keepOnScreens(const QRect &window, const QList<ScreenArea> &screens);
