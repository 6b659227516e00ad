#include "ui/picture.h"

#include <QImageReader>

Picture::Picture(const QString &path) : m_icon(path), m_size(QImageReader(path).size()) {}

const QPixmap &Picture::pixmap(qreal devicePixelRatio)
{
    if (m_cachedRatio != devicePixelRatio && !isNull()) {
        m_cached = m_icon.pixmap(m_size, devicePixelRatio);
        m_cachedRatio = devicePixelRatio;
    }
    return m_cached;
}
