#pragma once

#include "ui/skinneddialog.h"

/// The options dialog.
class frmOption : public SkinnedDialog {
    Q_OBJECT
public:
    explicit frmOption(WindowTable &table);
};
