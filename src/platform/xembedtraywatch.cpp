#include "platform/xembedtraywatch.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

xcb_atom_t internAtom(xcb_connection_t *c, const QByteArray &name)
{
    auto cookie = xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData());
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

/// The screen number of the display Qt connected to, which names the
/// selection; 0 when DISPLAY does not say.
int screenNumber()
{
    char *host = nullptr;
    int display = 0;
    int screen = 0;
    const QByteArray name = qgetenv("DISPLAY");
    if (name.isEmpty() || !xcb_parse_display(name.constData(), &host, &display, &screen))
        return 0;
    std::free(host);
    return screen;
}

} // namespace

XEmbedTrayWatch::XEmbedTrayWatch(std::function<void()> changed) : m_changed(std::move(changed))
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    m_connection = x11->connection();
    m_selection = internAtom(m_connection, QByteArrayLiteral("_NET_SYSTEM_TRAY_S") +
                                               QByteArray::number(screenNumber()));
    m_manager = internAtom(m_connection, QByteArrayLiteral("MANAGER"));
    qGuiApp->installNativeEventFilter(this);
}

XEmbedTrayWatch::~XEmbedTrayWatch()
{
    if (m_connection && qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

bool XEmbedTrayWatch::isOwned()
{
    if (!m_connection || m_selection == XCB_ATOM_NONE)
        return false;
    // The owner may end between the question and the request for its end:
    // then the request fails and the question is asked again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto cookie = xcb_get_selection_owner(m_connection, m_selection);
        xcb_get_selection_owner_reply_t *reply =
            xcb_get_selection_owner_reply(m_connection, cookie, nullptr);
        const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
        std::free(reply);
        if (owner == XCB_WINDOW_NONE || owner == m_owner) {
            m_owner = owner;
            return owner != XCB_WINDOW_NONE;
        }
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_generic_error_t *error = xcb_request_check(
            m_connection,
            xcb_change_window_attributes_checked(m_connection, owner, XCB_CW_EVENT_MASK, &mask));
        if (!error) {
            m_owner = owner;
            return true;
        }
        std::free(error);
    }
    m_owner = XCB_WINDOW_NONE;
    return false;
}

bool XEmbedTrayWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    bool changed = false;
    switch (event->response_type & 0x7f) {
    case XCB_CLIENT_MESSAGE: {
        const auto *client = static_cast<const xcb_client_message_event_t *>(message);
        changed = client->type == m_manager && client->format == 32 &&
                  client->data.data32[1] == m_selection;
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto *destroyed = static_cast<const xcb_destroy_notify_event_t *>(message);
        if (m_owner != XCB_WINDOW_NONE && destroyed->window == m_owner) {
            m_owner = XCB_WINDOW_NONE;
            changed = true;
        }
        break;
    }
    default:
        break;
    }
    // Reported after Qt has handled the event, never from inside its event
    // handling: the listener may show windows or run a message box.
    if (changed && m_changed)
        QMetaObject::invokeMethod(&m_context, m_changed, Qt::QueuedConnection);
    return false;
}
