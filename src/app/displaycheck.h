#pragma once

#include <QString>

/// Chooses the window system before QApplication exists and checks that a
/// display can be reached, so a missing display ends the program with one
/// clear line instead of an abort. On a Wayland session with XWayland the
/// clock uses X11: it needs a fixed position and the always-on-top band.
/// Returns an empty text when all is well, else the reason.
QString prepareDisplay();
