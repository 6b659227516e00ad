#include "ui/managedwindow.h"

#include "platform/windowsystem.h"
#include "ui/windowtable.h"

#include <QCloseEvent>

ManagedWindow::ManagedWindow(WindowTable &table, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), m_table(table)
{
}

SettingsStore &ManagedWindow::store() const
{
    return m_table.store();
}

FeatureSettings &ManagedWindow::features() const
{
    return m_table.features();
}

Services &ManagedWindow::services() const
{
    return m_table.services();
}

bool ManagedWindow::isTopmost() const
{
    // The window system keeps the widget's flags in step with the native window.
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
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

void ManagedWindow::setVisible(bool visible)
{
    // Hidden windows lose their window-manager states: set them again while
    // the window is still unmapped, so they are in place when it appears.
    // The show itself may put up a new native window (Qt does after the
    // stays-on-top flag changed in place), which has none of them: set them
    // again on the window that is shown.
    const bool showing = visible && !isVisible() && windowFlags().testFlag(Qt::Tool);
    if (showing)
        services().windows->setSkipTaskbar(this);
    QWidget::setVisible(visible);
    if (showing && isVisible())
        services().windows->setSkipTaskbar(this);
}

void ManagedWindow::closeEvent(QCloseEvent *event)
{
    // A close from outside (the window manager, Alt+F4) unloads like the
    // window's own close action.
    event->ignore();
    unload();
}
