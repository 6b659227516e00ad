#pragma once

#include "ui/skinneddialog.h"

/// The About window.
class frmAbout : public SkinnedDialog {
    Q_OBJECT
public:
    explicit frmAbout(WindowTable &table);
};
