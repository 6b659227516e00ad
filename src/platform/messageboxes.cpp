#include "platform/messageboxes.h"

#include <QMessageBox>

namespace {

void showBox(QMessageBox::Icon icon, const QString &text, const QString &caption)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, caption, shown, QMessageBox::Ok);
    // Messages name files in angle brackets ("<ohmy.wav>"): never markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

} // namespace

void QtMessageBoxes::show(const QString &text, const QString &caption)
{
    showBox(QMessageBox::NoIcon, text, caption);
}

void QtMessageBoxes::showInformation(const QString &text, const QString &caption)
{
    showBox(QMessageBox::Information, text, caption);
}
