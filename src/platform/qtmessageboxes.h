#pragma once

#include "platform/messageboxes.h"

/// How the real boxes are sized.
namespace MessageBoxLook {
/// The narrowest box whose title a window manager shows whole.
int minimumWidth(const QString &caption);
} // namespace MessageBoxLook

/// QMessageBox, modal, owned by the program's active window (if any), whose
/// keyboard focus comes back when the box closes. One button, "确定".
class QtMessageBoxes final : public IMessageBoxes {
public:
    void show(const QString &text, const QString &caption) override;
    void showInformation(const QString &text, const QString &caption) override;
};
