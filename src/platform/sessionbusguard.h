#pragma once

#include <QString>

#include <chrono>

/// Qt opens its own connection to the session bus the first time a window
/// shows (the accessibility bridge) or a tray icon is made, and waits for the
/// bus without a limit, on the GUI thread. A session bus that accepts
/// connections and never answers would freeze the program there. This asks
/// the bus at `address` once, off the GUI thread, waiting at most
/// `answerWithin`; when it does not answer, DBUS_SESSION_BUS_ADDRESS is
/// pointed at no bus for the rest of this run, so Qt's own connection fails
/// at once (no accessibility bridge, the tray icon over XEmbed). Call it
/// before the first window; false when the bus did not answer.
bool keepQtOffSilentSessionBus(const QString &address, std::chrono::milliseconds answerWithin);
