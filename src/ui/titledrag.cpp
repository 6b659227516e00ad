#include "ui/titledrag.h"

#include "platform/windowsystem.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

TitleDrag::TitleDrag(QWidget *window, IWindowSystem &windows) : m_window(window), m_windows(windows)
{
}

bool TitleDrag::press(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    m_state = State::Pressed;
    m_pressGlobal = event->globalPosition().toPoint();
    m_offset = m_pressGlobal - m_window->frameGeometry().topLeft();
    return true;
}

bool TitleDrag::move(QMouseEvent *event)
{
    if (m_state == State::Idle || !(event->buttons() & Qt::LeftButton)) {
        m_state = State::Idle;
        return false;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (m_state == State::Pressed) {
        if ((global - m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
            return true;
        if (m_windows.startSystemMove(m_window, m_pressGlobal)) {
            m_state = State::SystemMove;
            return true;
        }
        m_state = State::ManualMove;
    }
    if (m_state == State::ManualMove)
        m_window->move(global - m_offset);
    return true;
}

bool TitleDrag::release(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    m_state = State::Idle;
    return true;
}
