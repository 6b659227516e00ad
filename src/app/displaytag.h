#pragma once

#include <QByteArray>
#include <QString>

/// The part of the single-instance name that names the display. Every
/// spelling of one display gives the same tag: the screen number is dropped
/// and the local forms (":0", "unix:0", "unix/:0", "localhost:0",
/// "127.0.0.1:0", "::1:0", "[::1]:0", this machine's name, the server's socket
/// "/tmp/.X11-unix/X0" with or without "unix:") are one; another host keeps
/// its name, a socket elsewhere its path. Only letters, digits, ".", "_" and
/// "-" appear in the tag, at most 64 of them.
///
/// DISPLAY is read here by this program's own rules, not by the X library's:
/// libxcb's reading changed between versions (1.16 takes "unix:0" for a
/// socket path relative to the working folder), and the tag must not.
QString displayTag(const QByteArray &display);

/// The same, with `thisHost` as the machine's host name.
QString displayTag(const QByteArray &display, const QString &thisHost);
