#pragma once

#include <QString>
#include <QStringList>

/// Starting other programs, detached and without a shell.
class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    /// The full path of a program found in PATH, or "" when there is none.
    virtual QString findExecutable(const QString &name) const = 0;
    /// Starts the program with these arguments and does not wait for it.
    /// False when it could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
    /// The desktop environments of this session, most specific first
    /// (XDG_CURRENT_DESKTOP, e.g. "ubuntu", "GNOME").
    virtual QStringList currentDesktops() const = 0;
};

/// QProcess and the process environment.
class SystemProcessLauncher final : public IProcessLauncher {
public:
    QString findExecutable(const QString &name) const override;
    bool startDetached(const QString &program, const QStringList &arguments) override;
    QStringList currentDesktops() const override;
};
