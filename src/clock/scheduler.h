#pragma once

#include "clock/duecheck.h"

#include <QObject>

#include <functional>

class WindowTable;

/// Carries out what the due check finds, once a second while the clock strip
/// is loaded (it follows whichever strip the window table loads): the
/// scheduled shutdown (its warning a minute before, which
/// makes the power request at the stated second; or the request alone when
/// it shuts down without asking), the hourly chime pop-up and the alarm
/// pop-up. A pop-up that is open already is left as it is. A one-off shutdown
/// is switched off in the store before it is carried out; a warning whose
/// shutdown is switched off or moved meanwhile closes.
///
/// Nothing that runs inside the second's signal may block. runDue() only
/// decides; what is due runs after it has returned, from the event loop,
/// because a pop-up's load may show a modal message box and a power request
/// may wait for the system: inside the signal either would stop the clock
/// and lose the actions due meanwhile.
class Scheduler : public QObject {
    Q_OBJECT
public:
    Scheduler(WindowTable &table, QObject *parent = nullptr);

    /// Checks what came due up to `now` and carries it out after returning.
    void runDue(const QDateTime &now);

private:
    /// Runs the action from the event loop, after the current second's signal.
    void later(std::function<void()> action);
    /// Opens the pop-up unless it is open; beside the other one if that is.
    template <class Popup> void ring();
    /// A warning counting down to a moment the schedule no longer has (the
    /// shutdown switched off or moved) closes without shutting down.
    void scheduleChanged();

    WindowTable &m_table;
    DueCheck m_dueCheck;
    QDateTime m_warningFor;   ///< the moment the open warning counts down to
    bool m_disarming = false; ///< switching a one-off off at its own moment
};
