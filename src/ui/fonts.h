#pragma once

#include <QFont>

/// The two Chinese faces the windows use, with the installed CJK families
/// that stand in for them on Linux.
namespace Fonts {
/// "宋体" (a Song/Ming face) at the given size in points.
QFont song(qreal pointSize);
/// "楷体_GB2312" (a Kai face) at the given size in points.
QFont kai(qreal pointSize);
} // namespace Fonts
