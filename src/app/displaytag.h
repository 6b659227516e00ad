#pragma once

#include <QByteArray>
#include <QString>

/// The part of the single-instance name that names the display. Every
/// spelling of one display gives the same tag: the screen number is dropped
/// and the local host forms (":0", "unix:0", "localhost:0", "127.0.0.1:0",
/// "::1:0", this machine's name) are one; another host keeps its name.
/// Only letters, digits, ".", "_" and "-" appear in the tag.
QString displayTag(const QByteArray &display);
