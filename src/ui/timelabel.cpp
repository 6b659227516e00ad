#include "ui/timelabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace {

// Read out like a QLabel: its text is its name.
class TimeLabelAccessible : public QAccessibleWidget {
public:
    explicit TimeLabelAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<TimeLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *accessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TimeLabel") && object && object->isWidgetType())
        return new TimeLabelAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

TimeLabel::TimeLabel(const QString &text, QWidget *parent) : QWidget(parent), m_text(text)
{
    m_places = places(m_text);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

const TimeLabel::Glyphs &TimeLabel::glyphs(QChar c) const
{
    auto it = m_glyphs.find(c.unicode());
    if (it != m_glyphs.end())
        return *it;
    // Laid out once, as QPainter::drawText would lay the character out.
    QTextLayout layout(QString(c), font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    Glyphs g;
    g.runs = layout.glyphRuns();
    g.advance = line.horizontalAdvance();
    for (const QGlyphRun &run : std::as_const(g.runs))
        g.ink |= run.boundingRect();
    return *m_glyphs.insert(c.unicode(), g);
}

QList<qreal> TimeLabel::places(const QString &text) const
{
    QList<qreal> x;
    x.reserve(text.size() + 1);
    qreal at = 0;
    for (QChar c : text) {
        x.append(at);
        at += glyphs(c).advance;
    }
    x.append(at);
    return x;
}

QRect TimeLabel::charArea(QChar c, qreal x) const
{
    const Glyphs &g = glyphs(c);
    // The ink and the advance, a pixel wider each side for anti-aliasing,
    // the label's full height.
    const qreal left = x + std::min<qreal>(0, g.ink.left());
    const qreal right = x + std::max(g.advance, g.ink.right());
    return QRect(QPoint(int(std::floor(left)) - 1, 0),
                 QPoint(int(std::ceil(right)) + 1, height() - 1));
}

QRegion TimeLabel::changedArea(const QString &text) const
{
    const QList<qreal> &oldPlaces = m_places;
    const QList<qreal> newPlaces = places(text);
    QRegion area;
    for (qsizetype i = 0; i < std::max(m_text.size(), text.size()); ++i) {
        const bool inOld = i < m_text.size();
        const bool inNew = i < text.size();
        if (inOld && inNew && m_text[i] == text[i] && oldPlaces[i] == newPlaces[i])
            continue;
        if (inOld)
            area |= charArea(m_text[i], oldPlaces[i]);
        if (inNew)
            area |= charArea(text[i], newPlaces[i]);
    }
    return area & rect();
}

void TimeLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    const QSize before = sizeHint();
    const QRegion area = changedArea(text);
    m_text = text;
    m_places = places(m_text);
    if (sizeHint() != before) {
        // A different width: the owner's layout sizes it anew and Qt repaints
        // both extents.
        updateGeometry();
        resize(sizeHint());
        update();
    } else {
        repaint(area);
    }
#if QT_CONFIG(accessibility)
    if (accessibleName().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
#endif
}

QSize TimeLabel::sizeHint() const
{
    return QSize(int(std::ceil(m_places.constLast())), QFontMetrics(font()).height());
}

void TimeLabel::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    const QRect dirty = event->rect();
    const QList<qreal> &x = m_places;
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        if (!charArea(m_text[i], x[i]).intersects(dirty))
            continue; // not repainted
        for (const QGlyphRun &run : glyphs(m_text[i]).runs)
            p.drawGlyphRun(QPointF(x[i], 0), run);
    }
}

void TimeLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_glyphs.clear();
        m_places = places(m_text);
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}
