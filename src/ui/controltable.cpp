#include "ui/controltable.h"

#include "ui/fonts.h"
#include "ui/labelbutton.h"
#include "ui/picture.h"
#include "ui/timelabel.h"
#include "ui/updown.h"
#include "ui/wrappinglabel.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

namespace {

using Kind = ControlRow::Kind;

void setColour(QWidget *w, QPalette::ColorRole role, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(role, colour);
    w->setPalette(pal);
}

QLabel *plainLabel(QLabel *label, Qt::Alignment alignment)
{
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    return label;
}

// The coloured, bordered box the pop-ups show their texts in.
QLabel *showBox(QLabel *label)
{
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, QColor(0, 192, 192));
    pal.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(pal);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setMargin(2);
    return label;
}

QWidget *create(const ControlRow &row, QWidget *parent)
{
    switch (row.kind) {
    case Kind::Window:
        break;
    case Kind::Title: {
        auto *title = plainLabel(new QLabel(row.caption, parent), Qt::AlignLeft | Qt::AlignTop);
        title->setFont(Fonts::song(10.5));
        setColour(title, QPalette::WindowText, Qt::white);
        return title;
    }
    case Kind::CloseMark:
        return new LabelButton(parent);
    case Kind::Label:
        return new QLabel(row.caption, parent);
    case Kind::TimeText:
        return new TimeLabel(row.caption, parent);
    case Kind::BorderLabel: {
        auto *label = new QLabel(row.caption, parent);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        return label;
    }
    case Kind::Text:
    case Kind::WrappedText:
        return plainLabel(new QLabel(row.caption, parent), Qt::AlignLeft | Qt::AlignTop);
    case Kind::ShowBox: {
        QLabel *box = showBox(new QLabel(row.caption, parent));
        box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return box;
    }
    case Kind::WrappingShowBox:
        return showBox(new WrappingLabel(parent));
    case Kind::Picture:
        return new QLabel(parent);
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
    case Kind::Button:
    case Kind::PlainButton: {
        auto *button = new QPushButton(row.caption, parent);
        button->setAutoDefault(row.kind == Kind::Button);
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
        setColour(line, QPalette::Window, row.color);
        line->setAutoFillBackground(true);
        return line;
    }
    }
    return nullptr;
}

bool showsText(Kind kind)
{
    return kind == Kind::Label || kind == Kind::TimeText || kind == Kind::BorderLabel ||
           kind == Kind::Text || kind == Kind::WrappedText;
}

// Font, colour and alignment first: a control sized to its text measures it
// in its own font.
void style(const ControlRow &row, QWidget *w)
{
    if (row.font)
        w->setFont(*row.font);
    if (showsText(row.kind) && row.color.isValid())
        setColour(w, QPalette::WindowText, row.color);
    if (row.kind == Kind::Label && row.alignment)
        static_cast<QLabel *>(w)->setAlignment(row.alignment);
}

void place(const ControlRow &row, QWidget *w)
{
    QRect rect = row.rect;
    switch (row.kind) {
    case Kind::Line:
        rect.setHeight(1);
        break;
    case Kind::Text:
    case Kind::WrappedText:
        // At least one line tall, so descenders are not cut off where the
        // design's height is a little short for the fonts at hand. Measured
        // before a wrapping text wraps.
        rect.setHeight(std::max(rect.height(), w->sizeHint().height()));
        break;
    default:
        break;
    }
    if ((row.kind == Kind::Label || row.kind == Kind::TimeText) && rect.size().isEmpty()) {
        w->move(rect.topLeft());
        w->adjustSize();
    } else {
        w->setGeometry(rect);
    }
    if (row.kind == Kind::WrappedText)
        static_cast<QLabel *>(w)->setWordWrap(true);
    if (row.kind == Kind::Picture) {
        Picture picture(row.picture);
        if (!picture.isNull())
            static_cast<QLabel *>(w)->setPixmap(picture.pixmap(w->window()->devicePixelRatioF()));
    }
}

void shapeWindow(QWidget *window, const ControlRow &row)
{
    if (!row.caption.isEmpty())
        window->setWindowTitle(row.caption);
    if (!row.icon.isEmpty())
        window->setWindowIcon(QIcon(row.icon));
    window->setFixedSize(row.rect.size());
}

bool takesFocus(Kind kind)
{
    switch (kind) {
    case Kind::TextBox:
    case Kind::UpDown:
    case Kind::CheckBox:
    case Kind::OptionButton:
    case Kind::Button:
    case Kind::PlainButton:
    case Kind::Slider:
        return true;
    default:
        return false;
    }
}

} // namespace

const ControlRow &windowRow(const QList<ControlRow> &design)
{
    const auto it = std::find_if(design.cbegin(), design.cend(),
                                 [](const ControlRow &row) { return row.kind == Kind::Window; });
    Q_ASSERT_X(it != design.cend(), "windowRow", "a design without its window");
    return *it;
}

QString controlKey(const QString &name, int index)
{
    return index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(index);
}

QHash<QString, QWidget *> buildControls(QWidget *window, const QList<ControlRow> &design)
{
    QHash<QString, QWidget *> controls;
    QList<std::pair<int, QWidget *>> chain;
    for (const ControlRow &row : design) {
        if (row.kind == Kind::Window) {
            shapeWindow(window, row);
            continue;
        }
        QWidget *parent = row.container.isEmpty() ? window : controls.value(row.container);
        Q_ASSERT_X(parent, "buildControls", qPrintable(row.container));
        QWidget *w = create(row, parent);
        w->setObjectName(row.name);
        if (row.index >= 0)
            w->setProperty("index", row.index);
        style(row, w);
        place(row, w);
        controls.insert(controlKey(row.name, row.index), w);
        if (takesFocus(row.kind) && row.tabIndex >= 0)
            chain.append({row.tabIndex, w});
    }
    std::stable_sort(chain.begin(), chain.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1].second, chain[i].second);
    return controls;
}
