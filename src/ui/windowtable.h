#pragma once

#include "platform/services.h"
#include "settings/featuresettings.h"
#include "ui/managedwindow.h"

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSet>

#include <functional>
#include <typeindex>

class SettingsStore;

/// Owns the program's windows: at most one of each class, created with its
/// load steps run when it is first referred to, destroyed when it unloads.
/// Windows reach each other only through here. W must be constructible from
/// (WindowTable &) and name its window in W::WindowName.
class WindowTable : public QObject {
    Q_OBJECT
public:
    WindowTable(Services services, SettingsStore &store, QObject *parent = nullptr);
    ~WindowTable() override;

    /// The window, loaded first if it is not loaded (load does not show it).
    template <class W> W *window()
    {
        if (W *existing = loaded<W>())
            return existing;
        auto *w = new W(*this);
        w->setObjectName(QString::fromLatin1(W::WindowName));
        m_windows.insert(std::type_index(typeid(W)), w);
        runLoad(w);
        // Load steps may have unloaded the window again.
        return loaded<W>();
    }

    /// The window if it is loaded, else null; never loads.
    template <class W> W *loaded() const
    {
        return static_cast<W *>(m_windows.value(std::type_index(typeid(W))).data());
    }
    template <class W> bool isLoaded() const { return loaded<W>() != nullptr; }

    /// Loads the window if needed, shows it, raises and activates it.
    template <class W> W *show()
    {
        W *w = window<W>();
        if (w)
            w->showAndRaise();
        return w;
    }

    /// The program's main window (the clock strip), for the windows that
    /// place it although it sits above them in the layout. Whoever wires the
    /// program up names its class once; until then there is none.
    template <class W> void setMainWindow()
    {
        m_mainWindow = [this](bool load) -> ManagedWindow * {
            return load ? static_cast<ManagedWindow *>(window<W>()) : loaded<W>();
        };
    }
    /// The main window, loaded first if it is not loaded, as window() does.
    ManagedWindow *mainWindow() { return m_mainWindow ? m_mainWindow(true) : nullptr; }
    /// The main window if it is loaded, else null; never loads.
    ManagedWindow *loadedMainWindow() const { return m_mainWindow ? m_mainWindow(false) : nullptr; }

    /// Runs the window's unload steps and destroys it.
    void unload(ManagedWindow *window);

    Services &services() { return m_services; }
    /// True the first time it is asked about `notice` in this run of the
    /// program, false ever after: for messages that are shown only once.
    bool firstNotice(const QString &notice);
    SettingsStore &store() { return m_store; }
    /// The owners of the features' settings, over store().
    FeatureSettings &features() { return m_features; }

    /// Pops up the clock's menu at a global position; set by the menu window.
    std::function<void(QPoint)> popupClockMenu;

signals:
    /// A window has been created and its load steps have run.
    void windowLoaded(ManagedWindow *window);
    void windowUnloaded(const QString &name);

private:
    void runLoad(ManagedWindow *window);

    Services m_services;
    SettingsStore &m_store;
    FeatureSettings m_features{m_store};
    QHash<std::type_index, QPointer<ManagedWindow>> m_windows;
    QSet<QString> m_notices;
    std::function<ManagedWindow *(bool load)> m_mainWindow;
};
