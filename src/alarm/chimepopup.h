#pragma once

#include "alarm/ringingpopup.h"

/// The hourly chime: the time of day and tolvek.wav, topmost. Its button
/// caption shows "(O)" but has no access key.
class ChimePopup : public RingingPopup {
    Q_OBJECT
public:
    /// The window's object name, by which scripts and tests find it.
    static constexpr const char *WindowName = "frmIntTime";

    explicit ChimePopup(WindowTable &table);

    /// The window, its chrome and its controls.
    static const QList<ControlRow> &design();
};
