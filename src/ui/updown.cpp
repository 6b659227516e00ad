#include "ui/updown.h"

#include <QKeyEvent>
#include <QToolButton>

namespace {

QToolButton *arrowButton(Qt::ArrowType arrow, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIconSize(QSize(7, 7));
    return b;
}

} // namespace

UpDown::UpDown(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    m_up = arrowButton(Qt::UpArrow, this);
    m_up->setObjectName(QStringLiteral("up"));
    m_down = arrowButton(Qt::DownArrow, this);
    m_down->setObjectName(QStringLiteral("down"));
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
    updateButtons();
}

void UpDown::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
    updateButtons();
}

void UpDown::setValue(int value)
{
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    updateButtons();
    emit valueChanged(m_value);
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        stepUp();
        break;
    case Qt::Key_Down:
        stepDown();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void UpDown::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

void UpDown::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateButtons();
}

void UpDown::updateButtons()
{
    m_up->setEnabled(isEnabled() && m_value < m_maximum);
    m_down->setEnabled(isEnabled() && m_value > m_minimum);
}
