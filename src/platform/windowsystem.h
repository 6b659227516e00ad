#pragma once

#include <QPoint>

class QWidget;

/// The window states that need the window manager: the always-on-top band,
/// no taskbar/pager entry, and the interactive move.
class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;
    /// Put a top-level window into the always-on-top band or take it out, in
    /// place: no move, no resize, no re-creation of the native window.
    virtual void setTopmost(QWidget *window, bool on) = 0;
    /// Keep the window off the taskbar and the pager: a hidden window carries
    /// the state into its next show, a shown one gets it at once. A hidden
    /// window loses the state, and showing it may map a new native window,
    /// so this is called before and after every show.
    virtual void setSkipTaskbar(QWidget *window) = 0;
    /// Hand a drag that began with a left press at `pressGlobal` (logical
    /// pixels) to the window manager's interactive move; the window keeps its
    /// offset to the pointer as grabbed at the press. False when the platform
    /// has none; the caller then moves the window itself.
    virtual bool startSystemMove(QWidget *window, QPoint pressGlobal) = 0;
};

/// X11 (and XWayland) through Qt and xcb.
class X11WindowSystem final : public IWindowSystem {
public:
    void setTopmost(QWidget *window, bool on) override;
    void setSkipTaskbar(QWidget *window) override;
    bool startSystemMove(QWidget *window, QPoint pressGlobal) override;
};
