#pragma once

#include "ui/managedwindow.h"
#include "ui/picture.h"

#include <QColor>
#include <QRect>
#include <QSize>

#include <optional>

class QLabel;
class LabelButton;
class TitleDrag;

/// The chrome of one skinned dialog: size, skin, title band and close mark.
/// dialogChrome() (dialogchrometable.h) holds the rows of every dialog.
struct DialogChrome {
    QString windowTitle;                 ///< the system's title; not drawn
    QSize clientSize;                    ///< fixed client size in pixels
    QString skin;                        ///< resource path of the skin picture
    std::optional<QPoint> startPosition; ///< none: centred on the screen
    QString titleText;                   ///< caption of lblTitle
    QRect titleRect;                     ///< lblTitle geometry
    QString closeName;                   ///< "lblClose" or "lblMin"
    QRect closeRect;                     ///< geometry of the close-mark label
    QColor background;                   ///< invalid: the style's dialog face colour
    bool hasWindowIcon = true;           ///< the dialog icon; the pop-ups have none
};

/// A frameless window painted by its skin, without taskbar button, dragged by
/// its title label and closed by an invisible label over the painted close
/// mark. Subclasses decide what the close label does (closeClicked()).
///
/// The skin is drawn unscaled from the top-left corner: where the client
/// area is larger, a strip of the background colour shows; where it is
/// smaller, the skin is cut off. At a device pixel ratio above 1 the skin's
/// @2x picture is used where there is one. Child controls inherit the
/// dialogs' default font, "宋体" 9 pt.
class SkinnedDialog : public ManagedWindow {
    Q_OBJECT
public:
    SkinnedDialog(WindowTable &table, const DialogChrome &chrome);
    ~SkinnedDialog() override;

    QLabel *lblTitle() const { return m_title; }
    LabelButton *closeLabel() const { return m_close; }

    /// Where a dialog of this chrome opens: its fixed position, or centred
    /// on the primary screen's available area.
    static QPoint startPosition(const DialogChrome &chrome);

protected:
    /// The close-mark label was clicked. Unloads by default.
    virtual void closeClicked();

    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Picture m_skin;
    QLabel *m_title = nullptr;
    LabelButton *m_close = nullptr;
    TitleDrag *m_drag = nullptr;
};
