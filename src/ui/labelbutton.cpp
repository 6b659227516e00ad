#include "ui/labelbutton.h"

#include <QMouseEvent>

LabelButton::LabelButton(QWidget *parent) : QLabel(parent)
{
    setCursor(Qt::ArrowCursor);
}

void LabelButton::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void LabelButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}
