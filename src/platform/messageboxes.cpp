#include "platform/messageboxes.h"

#include <QMessageBox>

void QtMessageBoxes::show(const QString &text, const QString &caption)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::NoIcon, caption, shown, QMessageBox::Ok);
    // Messages name files in angle brackets ("<ohmy.wav>"): never markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}
