#pragma once

#include "ui/skinneddialog.h"

/// The alarm settings dialog.
class frmSetTime : public SkinnedDialog {
    Q_OBJECT
public:
    explicit frmSetTime(WindowTable &table);
};
