#include "platform/windowsystem.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

namespace {

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    auto cookie = xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The X window that stands for the widget now. Qt's xcb plugin replaces it
// when a window whose stays-on-top flag changed in place is shown again;
// QWidget::winId() still names the destroyed one then, QWindow::winId() not.
xcb_window_t nativeWindow(QWidget *window)
{
    QWindow *handle = window->windowHandle();
    return xcb_window_t(handle ? handle->winId() : window->winId());
}

} // namespace

void X11WindowSystem::setTopmost(QWidget *window, bool on)
{
    QWindow *handle = window->windowHandle();
    if (!handle || !window->isVisible()) {
        // Qt writes _NET_WM_STATE_ABOVE from the flag when it maps the window.
        window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        return;
    }
    if (handle->flags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    // Changing the flag on the QWindow updates _NET_WM_STATE_ABOVE in place;
    // QWidget::setWindowFlag would destroy and re-create the native window.
    handle->setFlag(Qt::WindowStaysOnTopHint, on);
    window->overrideWindowFlags(handle->flags());
}

void X11WindowSystem::setSkipTaskbar(QWidget *window)
{
    xcb_connection_t *c = x11Connection();
    if (!c)
        return;
    const xcb_window_t wid = nativeWindow(window);
    const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = internAtom(c, "_NET_WM_STATE_SKIP_PAGER");
    if (state == XCB_ATOM_NONE)
        return;

    // Extended Window Manager Hints, _NET_WM_STATE: a window that is not
    // mapped carries the state in its property (Qt merges its own states into
    // it when it maps the window); a mapped one asks the window manager.
    if (!window->isVisible()) {
        const xcb_atom_t atoms[] = {skipTaskbar, skipPager};
        xcb_change_property(c, XCB_PROP_MODE_APPEND, wid, state, XCB_ATOM_ATOM, 32, 2, atoms);
        xcb_flush(c);
        return;
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = wid;
    event.type = state;
    event.data.data32[0] = 1; // _NET_WM_STATE_ADD
    event.data.data32[1] = skipTaskbar;
    event.data.data32[2] = skipPager;
    event.data.data32[3] = 1; // source: normal application
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

bool X11WindowSystem::startSystemMove(QWidget *window, QPoint pressGlobal)
{
    QWindow *handle = window->windowHandle();
    xcb_connection_t *c = x11Connection();
    if (!handle || !c)
        return handle && handle->startSystemMove();
    const xcb_atom_t moveResize = internAtom(c, "_NET_WM_MOVERESIZE");
    if (moveResize == XCB_ATOM_NONE)
        return false;

    // _NET_WM_MOVERESIZE with the root position of the original press, so the
    // window manager keeps the offset the user grabbed instead of the one at
    // the moment the drag was recognised. Positions are device pixels.
    const qreal dpr = handle->devicePixelRatio();
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = nativeWindow(window);
    event.type = moveResize;
    event.data.data32[0] = uint32_t(qRound(pressGlobal.x() * dpr));
    event.data.data32[1] = uint32_t(qRound(pressGlobal.y() * dpr));
    event.data.data32[2] = 8; // _NET_WM_MOVERESIZE_MOVE
    event.data.data32[3] = XCB_BUTTON_INDEX_1;
    event.data.data32[4] = 1; // source: normal application
    xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
    return true;
}
