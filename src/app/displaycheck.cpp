#include "app/displaycheck.h"

#include <QByteArray>

#include <xcb/xcb.h>

QString prepareDisplay()
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty() && wayland && !display.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        platform = "xcb";
    }
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return {}; // the user's own choice; Qt reports its own errors
    if (platform.isEmpty() && wayland)
        return {};

    if (display.isEmpty())
        return QStringLiteral("no display to show the clock on (DISPLAY is not set)");
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    if (!ok)
        return QStringLiteral("cannot connect to display %1").arg(QString::fromLocal8Bit(display));
    return {};
}
