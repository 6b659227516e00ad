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

QWidget *create(const ControlRow &spec, QWidget *parent)
{
    switch (spec.kind) {
    case Kind::Label:
        return new QLabel(spec.caption, parent);
    case Kind::BorderLabel: {
        auto *label = new QLabel(spec.caption, parent);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        return label;
    }
    case Kind::TextBox:
        return new QLineEdit(spec.caption, parent);
    case Kind::UpDown: {
        auto *upDown = new UpDown(parent);
        upDown->setRange(spec.minimum, spec.maximum);
        return upDown;
    }
    case Kind::CheckBox:
        return new QCheckBox(spec.caption, parent);
    case Kind::OptionButton:
        return new QRadioButton(spec.caption, parent);
    case Kind::Frame:
        return new QGroupBox(spec.caption, parent);
    case Kind::Button: {
        auto *button = new QPushButton(spec.caption, parent);
        button->setAutoDefault(true);
        return button;
    }
    case Kind::Slider: {
        auto *slider = new QSlider(Qt::Horizontal, parent);
        slider->setRange(spec.minimum, spec.maximum);
        slider->setTickPosition(QSlider::NoTicks);
        return slider;
    }
    case Kind::Line: {
        auto *line = new QFrame(parent);
        QPalette pal = line->palette();
        pal.setColor(QPalette::Window, spec.color);
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
    for (const ControlRow &spec : layout) {
        QWidget *parent = spec.container.isEmpty() ? window : controls.value(spec.container);
        Q_ASSERT_X(parent, "buildControls", qPrintable(spec.container));
        QWidget *w = create(spec, parent);
        w->setObjectName(spec.name);
        QRect rect = spec.rect;
        if (spec.kind == Kind::Line)
            rect.setHeight(1);
        w->setGeometry(rect);
        controls.insert(spec.name, w);
        if (takesFocus(spec.kind) && spec.tabIndex >= 0)
            chain.append({spec.tabIndex, w});
    }
    std::stable_sort(chain.begin(), chain.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1].second, chain[i].second);
    return controls;
}
