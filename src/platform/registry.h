#pragma once

#include <QString>

/// The registry writes the program makes: one string value under a key
/// given as a path ("HKEY_CURRENT_USER\SOFTWARE\...\Run"). A malformed path
/// shows "Incorrect Format:"; a value that cannot be written is told once,
/// with the reason.
class IRegistry {
public:
    virtual ~IRegistry() = default;
    virtual void writeStringValue(const QString &keyPath, const QString &valueName,
                                  const QString &data) = 0;
    /// Whether the value is there with data: for a Run key, whether its entry
    /// starts the program at log-on. A malformed path, or any other key, has
    /// no values.
    virtual bool hasValue(const QString &keyPath, const QString &valueName) = 0;
};
