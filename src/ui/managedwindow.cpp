#include "ui/managedwindow.h"

#include "platform/windowsystem.h"
#include "ui/windowtable.h"

#include <QCloseEvent>
#include <QTimer>

ManagedWindow::ManagedWindow(WindowTable &table, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), m_table(table)
{
}

SettingsStore &ManagedWindow::store() const
{
    return m_table.store();
}

Services &ManagedWindow::services() const
{
    return m_table.services();
}

void ManagedWindow::unload()
{
    m_table.unload(this);
}

void ManagedWindow::showAndRaise()
{
    if (m_loading)
        return;
    show();
    raise();
    activateWindow();
}

void ManagedWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Hidden windows lose their window-manager states: ask again once mapped.
    if (windowFlags().testFlag(Qt::Tool)) {
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                services().windows->setSkipTaskbar(this);
        });
    }
}

void ManagedWindow::closeEvent(QCloseEvent *event)
{
    // A close from outside (the window manager, Alt+F4) unloads like the
    // window's own close action.
    event->ignore();
    unload();
}
