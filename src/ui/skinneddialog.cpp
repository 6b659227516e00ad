#include "ui/skinneddialog.h"

#include "ui/etchedtextstyle.h"
#include "ui/fonts.h"
#include "ui/labelbutton.h"
#include "ui/titledrag.h"
#include "ui/windowtable.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

SkinnedDialog::SkinnedDialog(WindowTable &table, const QList<ControlRow> &design)
    : ManagedWindow(table, Qt::Window | Qt::FramelessWindowHint | Qt::Tool),
      m_skin(windowRow(design).picture)
{
    const ControlRow &window = windowRow(design);
    setFont(Fonts::song(9));
    QPalette pal = palette();
    if (window.color.isValid())
        pal.setColor(QPalette::Window, window.color);
    // Disabled text stands on the skin's grey panel, RGB(189..191), where the
    // style's light grey vanishes: a darker grey keeps it readable (3.3:1),
    // over a white etched shadow (EtchedTextStyle, given to every control
    // when the dialog is polished).
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, QColor(96, 96, 96));
    pal.setColor(QPalette::Disabled, QPalette::Light, Qt::white);
    setPalette(pal);
    setStyle(EtchedTextStyle::instance());
    setAutoFillBackground(true);
    move(startPosition(window));

    m_controls = buildControls(this, design);
    for (const ControlRow &row : design) {
        if (row.kind == ControlRow::Kind::Title)
            m_title = control<QLabel>(row.name);
        else if (row.kind == ControlRow::Kind::CloseMark)
            m_close = control<LabelButton>(row.name);
    }
    Q_ASSERT_X(m_title && m_close, "SkinnedDialog", "a design without its title or close mark");
    m_title->installEventFilter(this);
    m_drag = new TitleDrag(this, *services().windows);
    connect(m_close, &LabelButton::clicked, this, [this] { closeClicked(); });
}

SkinnedDialog::~SkinnedDialog()
{
    delete m_drag;
}

QPoint SkinnedDialog::startPosition(const ControlRow &window)
{
    if (!window.centred)
        return window.rect.topLeft();
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QPoint(0, 0);
    const QRect area = screen->availableGeometry();
    return area.topLeft() + QPoint((area.width() - window.rect.width()) / 2,
                                   (area.height() - window.rect.height()) / 2);
}

void SkinnedDialog::closeClicked()
{
    unload();
}

void SkinnedDialog::paintEvent(QPaintEvent *)
{
    if (m_skin.isNull())
        return;
    QPainter p(this);
    // Unscaled from the top-left corner: a larger client area shows a strip
    // of background, a smaller one cuts the skin off.
    p.drawPixmap(QPoint(0, 0), m_skin.pixmap(devicePixelRatioF()));
}

bool SkinnedDialog::event(QEvent *event)
{
    // The dialog is polished before its controls, which are all built by
    // now: they take its style before their own polish.
    if (event->type() == QEvent::Polish) {
        for (QWidget *control : findChildren<QWidget *>()) {
            if (!control->testAttribute(Qt::WA_SetStyle))
                control->setStyle(style());
        }
    }
    return ManagedWindow::event(event);
}

bool SkinnedDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The title label is the dialog's drag handle: only the left button
    // drags; every other press, and every double-click, is swallowed.
    if (watched == m_title) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            m_drag->press(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseMove:
            m_drag->move(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseButtonRelease:
            m_drag->release(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseButtonDblClick:
            return true;
        default:
            break;
        }
    }
    return ManagedWindow::eventFilter(watched, event);
}
