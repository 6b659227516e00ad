#include "ui/windowtable.h"

#include "platform/messageboxes.h"
#include "settings/settingsstore.h"

#include <QTimer>

WindowTable::WindowTable(Services services, SettingsStore &store, QObject *parent)
    : QObject(parent), m_services(services), m_store(store)
{
    // Settings that cannot be kept are told once. From the main loop: a save
    // may run inside the second tick or while the program exits, where no
    // message box may open.
    m_store.setProblemHandler([this](const QString &message) {
        QTimer::singleShot(0, this, [this, message] { m_services.messages->show(message); });
    });
}

WindowTable::~WindowTable()
{
    m_store.setProblemHandler({});
    for (const QPointer<ManagedWindow> &w : std::as_const(m_windows))
        delete w.data();
}

void WindowTable::runLoad(ManagedWindow *window)
{
    QPointer<ManagedWindow> guard(window);
    window->m_loading = true;
    window->load();
    if (guard) {
        guard->m_loading = false;
        emit windowLoaded(guard);
    }
}

void WindowTable::unload(ManagedWindow *window)
{
    if (!window)
        return;
    bool owned = false;
    for (auto it = m_windows.begin(); it != m_windows.end(); ++it) {
        if (it.value() == window) {
            m_windows.erase(it);
            owned = true;
            break;
        }
    }
    if (!owned)
        return;
    window->unloading();
    window->hide();
    const QString name = window->objectName();
    window->deleteLater();
    emit windowUnloaded(name);
}

bool WindowTable::firstNotice(const QString &notice)
{
    if (m_notices.contains(notice))
        return false;
    m_notices.insert(notice);
    return true;
}
