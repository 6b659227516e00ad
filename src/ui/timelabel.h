#pragma once

#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QWidget>

/// A one-line label for a text that changes a few characters at a time, as
/// a clock's time does. setText() repaints at once (no queued update) only
/// the characters that changed, and each character is laid out once and
/// then drawn from its kept glyphs, so a new second costs a few glyphs'
/// pixels instead of a text layout and the whole label.
///
/// Characters are placed one after another at their own advances: meant for
/// texts whose characters neither join nor kern (digits and separators).
/// Sized to its text like a QLabel; the text colour is the palette's
/// WindowText; transparent, so whatever lies below shows through.
class TimeLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit TimeLabel(const QString &text = QString(), QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    /// The area that setText(text) would repaint: every character whose
    /// glyph or place changes, old and new ink; empty for the same text.
    QRegion changedArea(const QString &text) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Glyphs {
        QList<QGlyphRun> runs;
        qreal advance = 0;
        QRectF ink; ///< relative to the character's place on the baseline's line
    };
    const Glyphs &glyphs(QChar c) const;
    /// Where each character of a text starts, and where the text ends.
    QList<qreal> places(const QString &text) const;
    QRect charArea(QChar c, qreal x) const;

    QString m_text;
    QList<qreal> m_places; ///< places(m_text)
    mutable QHash<char16_t, Glyphs> m_glyphs;
};
