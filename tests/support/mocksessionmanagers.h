#pragma once

#include "mockbusservice.h"

#include <memory>

/// A desktop's session manager as its interface file declares it (bus name,
/// object path, interface, methods), for a private session bus. Families:
/// "gnome", "mate" (GNOME's name with the requests that show no dialog),
/// "cinnamon" (under its own name), "kde", "ksmserver", "xfce", "lxqt";
/// null for any other.
std::unique_ptr<MockBusService> mockSessionManager(const QString &family);
