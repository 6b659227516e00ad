#pragma once

#include "platform/trayactivation.h"

#include <QtGlobal>

#include <optional>

/// A StatusNotifierItem host passes each left click on the icon as a bare
/// Activate call and never reports a double-click. This turns those calls
/// into the notifications a mouse on the icon gives: an activation that
/// follows the previous press within the double-click interval is the
/// double-click, any other one is a press. As with a mouse, the first click
/// of a double-click is a press of its own, and a third quick click starts
/// a new pair.
class ActivationPairing {
public:
    /// The notification for an activation at `nowMs` (any steady clock in
    /// milliseconds) with the desktop's double-click interval `intervalMs`.
    TrayActivation activate(qint64 nowMs, int intervalMs);

private:
    std::optional<qint64> m_pressAt;
};
