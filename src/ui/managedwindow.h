#pragma once

#include <QWidget>

class WindowTable;
class SettingsStore;
class FeatureSettings;
struct Services;

/// A top-level window owned by the window table. The table constructs it,
/// then runs load(); unload() hands it back to the table, which runs
/// unloading() and destroys it.
class ManagedWindow : public QWidget {
    Q_OBJECT
public:
    explicit ManagedWindow(WindowTable &table, Qt::WindowFlags flags = Qt::Window);

    /// The window's load steps, run once by the table right after construction.
    virtual void load() {}
    /// Closes the window and destroys it; the next reference builds a new one.
    void unload();
    /// Shows the window (if hidden), raises and activates it. Does nothing
    /// while the load steps run: a window appears only once it has loaded
    /// (a modal message during the load runs an event loop, and whatever
    /// asks for the window then gets it after the load).
    void showAndRaise();
    void setVisible(bool visible) override;
    /// True while the window is in the always-on-top band (or asked to be,
    /// while it is hidden).
    bool isTopmost() const;

protected:
    friend class WindowTable;
    /// Run by the table before the window is destroyed.
    virtual void unloading() {}

    WindowTable &table() const { return m_table; }
    SettingsStore &store() const;
    FeatureSettings &features() const;
    Services &services() const;

    void closeEvent(QCloseEvent *event) override;

private:
    WindowTable &m_table;
    bool m_loading = false;
};
