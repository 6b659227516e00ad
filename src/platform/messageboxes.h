#pragma once

#include <QString>

class QWidget;

/// Modal message boxes: OK button only, no icon, caption "Zirvel" unless given.
/// Lines of a message are separated by "\r" (the stored texts use it); the
/// implementation shows each as its own line.
class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual void show(const QString &text, const QString &caption = QStringLiteral("Zirvel")) = 0;
    /// As show(), with the information icon.
    virtual void showInformation(const QString &text, const QString &caption)
    {
        show(text, caption);
    }
};

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
