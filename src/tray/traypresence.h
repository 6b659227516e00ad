#pragma once

#include <QObject>

#include <functional>

/// Whether the program's icon is in the desktop's notification area: the one
/// answer that "隐藏到任务栏", the command line's --hide and a clock hidden
/// in the tray go by. Once started, the icon is put in whenever a
/// notification area is there and taken out when it goes away; the user
/// hears at most once a run that the icon could not be made.
class TrayPresence : public QObject {
    Q_OBJECT
public:
    /// What is done to the icon; the owner of the icon fills these in.
    struct Icon {
        std::function<bool()> add; ///< puts the icon in; false when it could not
        std::function<void()> remove;
        std::function<void()> reportFailure; ///< tells the user the icon could not be made
    };
    explicit TrayPresence(Icon icon, QObject *parent = nullptr);

    /// Puts the icon in, or says that it cannot.
    void start();
    /// A notification area appeared (true) or went away (false). Nothing
    /// happens before start() or after stop().
    void hostChanged(bool available);
    /// Takes the icon out for good, as the program ends; tells no one.
    void stop();

    bool iconShown() const { return m_shown; }
    /// Started and not stopped yet.
    bool isRunning() const { return m_phase == Phase::Running; }

signals:
    /// The icon came or went after start() (not on stop()).
    void iconShownChanged(bool shown);

private:
    void tryAdd();
    void setShown(bool shown);

    Icon m_icon;
    enum class Phase { Waiting, Running, Stopped };
    Phase m_phase = Phase::Waiting;
    bool m_shown = false;
    bool m_failureReported = false;
};
