#pragma once

#include "ui/skinneddialog.h"

/// The hourly chime pop-up.
class frmIntTime : public SkinnedDialog {
    Q_OBJECT
public:
    explicit frmIntTime(WindowTable &table);
};
