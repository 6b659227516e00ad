#pragma once

#include <QProxyStyle>

/// The program's style with disabled text drawn as it is on grey panels:
/// in the palette's disabled text colour over a shadow in its light colour,
/// one pixel down and to the right. Enabled text is left to the style.
class EtchedTextStyle final : public QProxyStyle {
    Q_OBJECT
public:
    /// One instance for every window, deleted with the application.
    static EtchedTextStyle *instance();

    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette,
                      bool enabled, const QString &text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;

private:
    EtchedTextStyle();
};
