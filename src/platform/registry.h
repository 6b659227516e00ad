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
};
