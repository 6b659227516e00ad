#pragma once

#include "ui/skinneddialog.h"

/// The About window: product name, version, logo and a note to the user.
/// Shown without an owner; closed by lblClose, moved by its title. Nothing
/// on it takes the focus or reacts to the mouse.
class AboutDialog : public SkinnedDialog {
    Q_OBJECT
public:
    /// The window's object name, by which scripts and tests find it.
    static constexpr const char *WindowName = "frmAbout";

    explicit AboutDialog(WindowTable &table);

    /// The window, its chrome and its controls.
    static const QList<ControlRow> &design();
};
