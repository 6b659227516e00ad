#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;
class IWindowSystem;

/// Moves a top-level window while the left button is held on a handle (the
/// dialogs' title labels, the clock's end caps). Once the pointer has moved
/// the platform's drag distance the window manager's own move takes over;
/// where there is none, the window follows the pointer here. Starting the
/// move only after the pointer moved keeps clicks and double-clicks intact.
class TitleDrag {
public:
    TitleDrag(QWidget *window, IWindowSystem &windows);

    /// Feed the handle's mouse events; each returns true when it used the event.
    bool press(QMouseEvent *event);
    bool move(QMouseEvent *event);
    bool release(QMouseEvent *event);

private:
    enum class State { Idle, Pressed, SystemMove, ManualMove };
    QWidget *m_window;
    IWindowSystem &m_windows;
    State m_state = State::Idle;
    QPoint m_pressGlobal;
    QPoint m_offset;
};
