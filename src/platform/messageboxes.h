#pragma once

#include <QString>

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
