#include "ui/fonts.h"

#include <QStringList>

namespace Fonts {

QFont song(qreal pointSize)
{
    QFont f;
    f.setFamilies(QStringList() << QStringLiteral("宋体") << QStringLiteral("SimSun")
                                << QStringLiteral("AR PL UMing CN")
                                << QStringLiteral("Noto Serif CJK SC")
                                << QStringLiteral("WenQuanYi Micro Hei"));
    f.setPointSizeF(pointSize);
    f.setWeight(QFont::Normal);
    return f;
}

QFont kai(qreal pointSize)
{
    QFont f;
    f.setFamilies(QStringList() << QStringLiteral("楷体_GB2312") << QStringLiteral("KaiTi")
                                << QStringLiteral("AR PL UKai CN")
                                << QStringLiteral("Noto Serif CJK SC")
                                << QStringLiteral("WenQuanYi Micro Hei"));
    f.setPointSizeF(pointSize);
    f.setWeight(QFont::Normal);
    return f;
}

} // namespace Fonts
