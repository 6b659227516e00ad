#pragma once

#include "ui/controltable.h"
#include "ui/managedwindow.h"
#include "ui/picture.h"

class QLabel;
class LabelButton;
class TitleDrag;

/// A frameless window painted by its skin, without taskbar button, dragged by
/// its title label and closed by an invisible label over the painted close
/// mark. Subclasses decide what the close label does (closeClicked()).
///
/// Built from its design: a Window row (size, skin, title, start position,
/// background), a Title and a CloseMark row, then the dialog's controls,
/// which the subclass finds with control().
///
/// The skin is drawn unscaled from the top-left corner: where the client
/// area is larger, a strip of the background colour shows; where it is
/// smaller, the skin is cut off. At a device pixel ratio above 1 the skin's
/// @2x picture is used where there is one. Child controls inherit the
/// dialogs' default font, "宋体" 9 pt.
class SkinnedDialog : public ManagedWindow {
    Q_OBJECT
public:
    SkinnedDialog(WindowTable &table, const QList<ControlRow> &design);
    ~SkinnedDialog() override;

    /// Where a dialog of this Window row opens: its fixed position, or
    /// centred on the primary screen's available area.
    static QPoint startPosition(const ControlRow &window);

protected:
    /// A control built from the design, by controlKey(); asserts that it
    /// exists and has that type.
    template <class T> T *control(const QString &key) const
    {
        return ::control<T>(m_controls, key);
    }
    const QHash<QString, QWidget *> &controls() const { return m_controls; }

    /// The close-mark label was clicked. Unloads by default.
    virtual void closeClicked();

    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Picture m_skin;
    QHash<QString, QWidget *> m_controls;
    QLabel *m_title = nullptr;
    LabelButton *m_close = nullptr;
    TitleDrag *m_drag = nullptr;
};
