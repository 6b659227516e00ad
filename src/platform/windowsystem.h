#pragma once

class QWidget;

/// The window states that need the window manager: the always-on-top band,
/// no taskbar/pager entry, and the interactive move.
class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;
    /// Put a top-level window into the always-on-top band or take it out, in
    /// place: no move, no resize, no re-creation of the native window.
    virtual void setTopmost(QWidget *window, bool on) = 0;
    /// Keep the window off the taskbar and the pager. A hidden window loses
    /// the state, so this is called after every show.
    virtual void setSkipTaskbar(QWidget *window) = 0;
    /// Start the window manager's interactive move from the current pointer
    /// position. False when the platform has none; the caller then moves the
    /// window itself.
    virtual bool startSystemMove(QWidget *window) = 0;
};

/// X11 (and XWayland) through Qt and xcb.
class X11WindowSystem final : public IWindowSystem {
public:
    void setTopmost(QWidget *window, bool on) override;
    void setSkipTaskbar(QWidget *window) override;
    bool startSystemMove(QWidget *window) override;
};
