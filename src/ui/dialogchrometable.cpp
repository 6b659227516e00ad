#include "ui/dialogchrometable.h"

#include <QStringList>

#include <array>

namespace {

struct Row {
    const char16_t *name;
    const char16_t *windowTitle;
    QSize clientSize;
    const char16_t *skin;
    std::optional<QPoint> startPosition;
    const char16_t *titleText;
    QRect titleRect;
    const char16_t *closeName;
    QRect closeRect;
    QColor background; // invalid: the style's dialog face colour
    bool hasWindowIcon;
};

// Client sizes may be one pixel larger than the skin (a strip of background
// shows) or smaller (the skin is cut off); both are intended.
const std::array<Row, 6> rows{{
    {u"frmSetTime",
     u"闹钟",
     {485, 316},
     u":/skin-large.png",
     std::nullopt,
     u"定时器设置",
     {80, 8, 313, 33},
     u"lblClose",
     {464, 8, 17, 17},
     QColor(),
     true},
    {u"frmOption",
     u"闹钟",
     {484, 316},
     u":/skin-large.png",
     std::nullopt,
     u"选项设置",
     {80, 8, 313, 33},
     u"lblClose",
     {464, 8, 17, 17},
     QColor(),
     true},
    {u"frmCloseWindows",
     u"定时关机",
     {484, 316},
     u":/skin-large.png",
     QPoint(195, 165),
     u"定时关机设置",
     {80, 8, 313, 33},
     u"lblClose",
     {464, 7, 17, 17},
     QColor(),
     true},
    {u"frmAbout",
     u"关于",
     {338, 220},
     u":/skin-medium.png",
     std::nullopt,
     u"关于",
     {72, 8, 177, 33},
     u"lblClose",
     {312, 0, 25, 25},
     QColor(64, 64, 64),
     true},
    {u"frmTimer",
     u"",
     {339, 221},
     u":/skin-medium.png",
     std::nullopt,
     u"闹钟",
     {72, 8, 177, 33},
     u"lblMin",
     {312, 0, 25, 25},
     QColor(),
     false},
    {u"frmIntTime",
     u"",
     {315, 174},
     u":/skin-small.png",
     std::nullopt,
     u"整点报时",
     {72, 8, 153, 33},
     u"lblMin",
     {288, 0, 25, 25},
     QColor(),
     false},
}};

} // namespace

DialogChrome dialogChrome(QStringView windowName)
{
    for (const Row &row : rows) {
        if (windowName != QStringView(row.name))
            continue;
        DialogChrome c;
        c.windowTitle = QString::fromUtf16(row.windowTitle);
        c.clientSize = row.clientSize;
        c.skin = QString::fromUtf16(row.skin);
        c.startPosition = row.startPosition;
        c.titleText = QString::fromUtf16(row.titleText);
        c.titleRect = row.titleRect;
        c.closeName = QString::fromUtf16(row.closeName);
        c.closeRect = row.closeRect;
        c.background = row.background;
        c.hasWindowIcon = row.hasWindowIcon;
        return c;
    }
    Q_ASSERT_X(false, "dialogChrome", "window without a row in the chrome table");
    return {};
}

QStringList dialogChromeNames()
{
    QStringList names;
    for (const Row &row : rows)
        names << QString::fromUtf16(row.name);
    return names;
}
