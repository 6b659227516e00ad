#pragma once

#include "alarm/ringingpopup.h"

/// The hourly chime: the time of day and tolvek.wav, topmost. Its button
/// caption shows "(O)" but has no access key.
class frmIntTime : public RingingPopup {
    Q_OBJECT
public:
    explicit frmIntTime(WindowTable &table);

    /// The window, its chrome and its controls.
    static const QList<ControlRow> &design();
};
