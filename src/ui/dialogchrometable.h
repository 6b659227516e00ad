#pragma once

#include "ui/skinneddialog.h"

#include <QStringView>

/// The chrome of every skinned dialog, by window class name (frmSetTime,
/// frmOption, frmCloseWindows, frmAbout, frmTimer, frmIntTime): sizes, skins,
/// start positions, title captions and close labels in one table. Each
/// dialog builds itself from its row, so a dialog shown again after an
/// unload starts from these values, not from where it was last dragged.
/// An unknown name is a programming error (asserts; an empty chrome in
/// release builds).
DialogChrome dialogChrome(QStringView windowName);

/// The window class names the table knows, in table order.
QStringList dialogChromeNames();
