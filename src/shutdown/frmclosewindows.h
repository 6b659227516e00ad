#pragma once

#include "ui/skinneddialog.h"

/// The shutdown settings dialog.
class frmCloseWindows : public SkinnedDialog {
    Q_OBJECT
public:
    explicit frmCloseWindows(WindowTable &table);
};
