#include "ui/etchedtextstyle.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>

EtchedTextStyle::EtchedTextStyle() = default;

EtchedTextStyle *EtchedTextStyle::instance()
{
    static QPointer<EtchedTextStyle> style;
    if (!style) {
        style = new EtchedTextStyle;
        style->setParent(qApp);
    }
    return style;
}

void EtchedTextStyle::drawItemText(QPainter *painter, const QRect &rect, int flags,
                                   const QPalette &palette, bool enabled, const QString &text,
                                   QPalette::ColorRole textRole) const
{
    if (enabled || text.isEmpty()) {
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
        return;
    }
    // Styles differ here (some etch, some only grey the text): draw it the
    // one way on every desktop.
    const QPen saved = painter->pen();
    painter->setPen(QPen(palette.color(QPalette::Disabled, QPalette::Light), saved.widthF()));
    painter->drawText(rect.translated(1, 1), flags, text);
    const QColor colour =
        textRole == QPalette::NoRole ? saved.color() : palette.color(QPalette::Disabled, textRole);
    painter->setPen(QPen(colour, saved.widthF()));
    painter->drawText(rect, flags, text);
    painter->setPen(saved);
}
