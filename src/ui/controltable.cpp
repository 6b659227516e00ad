#include "ui/controltable.h"

#include "ui/updown.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

namespace {

using Kind = ControlRow::Kind;

QWidget *create(const ControlRow &row, QWidget *parent)
{
    switch (row.kind) {
    case Kind::Label:
        return new QLabel(row.caption, parent);
    case Kind::BorderLabel: {
        auto *label = new QLabel(row.caption, parent);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        return label;
    }
    case Kind::TextBox:
        return new QLineEdit(row.caption, parent);
    case Kind::UpDown: {
        auto *upDown = new UpDown(parent);
        upDown->setRange(row.minimum, row.maximum);
        return upDown;
    }
    case Kind::CheckBox:
        return new QCheckBox(row.caption, parent);
    case Kind::OptionButton:
        return new QRadioButton(row.caption, parent);
    case Kind::Frame:
        return new QGroupBox(row.caption, parent);
    case Kind::Button: {
        auto *button = new QPushButton(row.caption, parent);
        button->setAutoDefault(true);
        return button;
    }
    case Kind::Slider: {
        auto *slider = new QSlider(Qt::Horizontal, parent);
        slider->setRange(row.minimum, row.maximum);
        slider->setTickPosition(QSlider::NoTicks);
        return slider;
    }
    case Kind::Line: {
        auto *line = new QFrame(parent);
        QPalette pal = line->palette();
        pal.setColor(QPalette::Window, row.color);
        line->setPalette(pal);
        line->setAutoFillBackground(true);
        return line;
    }
    }
    return nullptr;
}

bool takesFocus(Kind kind)
{
    switch (kind) {
    case Kind::TextBox:
    case Kind::UpDown:
    case Kind::CheckBox:
    case Kind::OptionButton:
    case Kind::Button:
    case Kind::Slider:
        return true;
    default:
        return false;
    }
}

} // namespace

QHash<QString, QWidget *> buildControls(QWidget *window, const QList<ControlRow> &layout)
{
    QHash<QString, QWidget *> controls;
    QList<std::pair<int, QWidget *>> chain;
    for (const ControlRow &row : layout) {
        QWidget *parent = row.container.isEmpty() ? window : controls.value(row.container);
        Q_ASSERT_X(parent, "buildControls", qPrintable(row.container));
        QWidget *w = create(row, parent);
        w->setObjectName(row.name);
        QRect rect = row.rect;
        if (row.kind == Kind::Line)
            rect.setHeight(1);
        w->setGeometry(rect);
        controls.insert(row.name, w);
        if (takesFocus(row.kind) && row.tabIndex >= 0)
            chain.append({row.tabIndex, w});
    }
    std::stable_sort(chain.begin(), chain.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1].second, chain[i].second);
    return controls;
}
