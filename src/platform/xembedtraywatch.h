#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <functional>

struct xcb_connection_t;

/// Follows the X11 system tray: whether some client owns the selection
/// _NET_SYSTEM_TRAY_S<screen>, the tray host of the XEmbed protocol. A host
/// that starts announces itself with a MANAGER client message on the root
/// window (Qt listens on the root window for it); one that ends takes the
/// window owning the selection with it, whose DestroyNotify this asks for.
/// Both arrive as X events, so nothing is polled. Off X11 there is no tray
/// and nothing to follow.
class XEmbedTrayWatch final : public QAbstractNativeEventFilter {
public:
    /// `changed` runs from the event loop after a host appeared or went.
    explicit XEmbedTrayWatch(std::function<void()> changed);
    ~XEmbedTrayWatch() override;
    XEmbedTrayWatch(const XEmbedTrayWatch &) = delete;
    XEmbedTrayWatch &operator=(const XEmbedTrayWatch &) = delete;

    /// Whether a tray host owns the selection now (one round trip).
    bool isOwned();

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    xcb_connection_t *m_connection = nullptr;
    quint32 m_selection = 0;
    quint32 m_manager = 0;
    quint32 m_owner = 0; ///< the owner window whose end is listened for
    std::function<void()> m_changed;
    QObject m_context; ///< drops reports still queued when the watch goes
};
