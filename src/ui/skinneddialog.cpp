#include "ui/skinneddialog.h"

#include "ui/fonts.h"
#include "ui/labelbutton.h"
#include "ui/titledrag.h"
#include "ui/windowtable.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

SkinnedDialog::SkinnedDialog(WindowTable &table, const DialogChrome &chrome)
    : ManagedWindow(table, Qt::Window | Qt::FramelessWindowHint | Qt::Tool), m_skin(chrome.skin)
{
    setWindowTitle(chrome.windowTitle);
    if (chrome.hasWindowIcon)
        setWindowIcon(QIcon(QStringLiteral(":/dialog-icon.png")));
    setFixedSize(chrome.clientSize);
    QPalette pal = palette();
    pal.setColor(QPalette::Window,
                 chrome.background.isValid() ? chrome.background : pal.color(QPalette::Window));
    setPalette(pal);
    setAutoFillBackground(true);

    if (chrome.startPosition) {
        move(*chrome.startPosition);
    } else if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(chrome.clientSize.width() / 2, chrome.clientSize.height() / 2));
    }

    m_title = new QLabel(chrome.titleText, this);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    m_title->setGeometry(chrome.titleRect);
    m_title->setFont(Fonts::song(10.5));
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette titlePalette = m_title->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    m_title->setPalette(titlePalette);
    m_title->installEventFilter(this);
    m_drag = new TitleDrag(this, *services().windows);

    m_close = new LabelButton(this);
    m_close->setObjectName(chrome.closeName);
    m_close->setGeometry(chrome.closeRect);
    connect(m_close, &LabelButton::clicked, this, [this] { closeClicked(); });
}

SkinnedDialog::~SkinnedDialog()
{
    delete m_drag;
}

void SkinnedDialog::closeClicked()
{
    unload();
}

void SkinnedDialog::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Unscaled from the top-left corner: a larger client area shows a strip
    // of background, a smaller one cuts the skin off.
    p.drawPixmap(QPoint(0, 0), m_skin.pixmap(devicePixelRatioF()));
}

bool SkinnedDialog::eventFilter(QObject *watched, QEvent *event)
{
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
