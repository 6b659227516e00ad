#include "ui/wrappinglabel.h"

#include <QPainter>
#include <QTextLayout>

namespace {

struct Line {
    QString text;
    qreal y;
};

// Lays the text out line by line and keeps the lines that fit in full.
QList<Line> layoutLines(const QString &text, const QFont &font, const QRect &area,
                        Qt::Alignment alignment)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator))
        .replace(QLatin1Char('\n'), QChar::LineSeparator)
        .replace(QLatin1Char('\r'), QChar::LineSeparator);

    QTextLayout layout(shown, font);
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);

    QList<Line> lines;
    qreal y = 0;
    bool more = false;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        if (!lines.isEmpty() && y + line.height() > area.height()) {
            more = true;
            break;
        }
        lines.append({shown.mid(line.textStart(), line.textLength()), y});
        y += line.height();
    }
    layout.endLayout();

    if (more && !lines.isEmpty()) {
        const QFontMetrics metrics(font);
        QString &last = lines.last().text;
        const QString ellipsis(QChar(0x2026));
        while (!last.isEmpty() &&
               metrics.horizontalAdvance(last.trimmed() + ellipsis) > area.width())
            last.chop(1);
        last = last.trimmed() + ellipsis;
    }
    for (Line &l : lines)
        l.text.remove(QChar::LineSeparator);
    return lines;
}

} // namespace

WrappingLabel::WrappingLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
}

QRect WrappingLabel::textArea() const
{
    const int m = margin();
    return contentsRect().adjusted(m, m, -m, -m);
}

QStringList WrappingLabel::shownLines() const
{
    QStringList out;
    for (const Line &l : layoutLines(text(), font(), textArea(), alignment()))
        out << l.text;
    return out;
}

void WrappingLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    drawFrame(&p);
    const QRect area = textArea();
    p.setClipRect(area);
    p.setPen(palette().color(QPalette::Active, foregroundRole()));
    p.setFont(font());
    const QFontMetricsF metrics(font());
    for (const Line &l : layoutLines(text(), font(), area, alignment())) {
        const QRectF lineRect(area.left(), area.top() + l.y, area.width(), metrics.height());
        p.drawText(lineRect, int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop, l.text);
    }
}
