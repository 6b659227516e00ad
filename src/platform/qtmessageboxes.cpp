#include "platform/qtmessageboxes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>

namespace {

void showBox(QMessageBox::Icon icon, const QString &text, const QString &caption)
{
    // The box belongs to the window the user is working in: the window
    // manager keeps it in front of that window and hands the keyboard back
    // to it when the box closes, so the next key press is not lost.
    const QPointer<QWidget> owner = QApplication::activeWindow();
    const QPointer<QWidget> focus = QApplication::focusWidget();

    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // On the heap: the owner may be destroyed while the box is up, and takes
    // its children along.
    QPointer<QMessageBox> box = new QMessageBox(icon, caption, shown, QMessageBox::NoButton, owner);
    // Messages name files in angle brackets ("<ohmy.wav>"): never markup.
    box->setTextFormat(Qt::PlainText);
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // Our own button: the standard one says "OK" with an icon from the
    // desktop's theme, whatever the language.
    QPushButton *ok = box->addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
        const QMargins margins = grid->contentsMargins();
        const int width = MessageBoxLook::minimumWidth(caption) - margins.left() - margins.right();
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }

    // A modal loop: callers reached from the second tick post their message
    // so it opens after the tick has returned (Scheduler::later).
    box->exec();
    delete box;
    if (owner) {
        if (focus && focus->window() == owner)
            focus->setFocus();
        owner->activateWindow();
    }
}

} // namespace

int MessageBoxLook::minimumWidth(const QString &caption)
{
    // Window managers write the title in a bold face beside the window icon
    // and three buttons about as wide as the title bar is high (one more for
    // themes with wider buttons). Qt's own allowance, the text plus 50
    // pixels, leaves a short title cut to "…".
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int bar = metrics.height() + 8;
    return metrics.horizontalAdvance(caption) + 5 * bar + 2 * metrics.height();
}

void QtMessageBoxes::show(const QString &text, const QString &caption)
{
    showBox(QMessageBox::NoIcon, text, caption);
}

void QtMessageBoxes::showInformation(const QString &text, const QString &caption)
{
    showBox(QMessageBox::Information, text, caption);
}
