#pragma once

#include "ui/skinneddialog.h"

/// The alarm pop-up.
class frmTimer : public SkinnedDialog {
    Q_OBJECT
public:
    explicit frmTimer(WindowTable &table);
};
