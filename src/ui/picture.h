#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

/// A picture from the resources at its own size, drawn crisp on scaled
/// screens: the "@2x" file is used where the device pixel ratio asks for it.
/// The pixmap for the current ratio is kept, so painting costs no lookup.
class Picture {
public:
    explicit Picture(const QString &path);

    bool isNull() const { return m_size.isEmpty(); }
    QSize size() const { return m_size; }
    /// The picture for a device pixel ratio; its logical size is size().
    const QPixmap &pixmap(qreal devicePixelRatio);

private:
    QIcon m_icon;
    QSize m_size;
    QPixmap m_cached;
    qreal m_cachedRatio = 0;
};
