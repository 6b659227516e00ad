#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

class QWidget;

/// One row of a window's design, as a form designer would record it: the
/// window itself, its chrome or one of its controls. Every window keeps its
/// rows in its own source file; buildControls() makes them.
struct ControlRow {
    enum class Kind {
        /// The window itself: `rect`'s size is its fixed client size and its
        /// top-left the start position (unless `centred`); `caption` the
        /// system's title (not drawn); `picture` its skin or face; `icon` its
        /// icon (none when empty); `color`, when valid, its background.
        Window,
        Title,           ///< lblTitle: the white caption in the skin's title band, its drag handle
        CloseMark,       ///< an invisible label over the painted close mark (lblClose or lblMin)
        Label,           ///< QLabel; a rect without size fits it to its caption
        TimeText,        ///< TimeLabel (repaints only the characters that change); sized as Label
        BorderLabel,     ///< QLabel with a single sunken border
        Text,            ///< plain-text QLabel from the top-left, at least one line tall
        WrappedText,     ///< Text that wraps within its width
        ShowBox,         ///< the pop-ups' coloured, sunken, plain-text box (QLabel)
        WrappingShowBox, ///< ShowBox whose text wraps and is cut to the box (WrappingLabel)
        Picture,         ///< QLabel showing `picture` at its own size
        TextBox,         ///< QLineEdit
        UpDown,          ///< UpDown, range minimum..maximum
        CheckBox,        ///< QCheckBox
        OptionButton,    ///< QRadioButton (exclusive among its siblings)
        Frame,           ///< QGroupBox; the caption, if any, is its title
        Button,          ///< QPushButton; Enter presses it when it has the focus
        PlainButton,     ///< QPushButton that Enter never presses
        Slider,          ///< horizontal QSlider, range minimum..maximum, no tick marks
        Line,            ///< a one-pixel line of `color` from the rect's left to its right
    };
    Kind kind;
    QString name{};
    QString container{}; ///< name of the Frame it sits in; empty: the window
    QRect rect{};        ///< relative to the container
    QString caption{};
    int tabIndex = -1; ///< position in the tab order; ignored for controls without focus
    int minimum = 0;
    int maximum = 0;
    QColor color{};              ///< a Line's colour, a label's text colour, a Window's background
    std::optional<QFont> font{}; ///< none: the window's font
    Qt::Alignment alignment{};   ///< a Label's alignment; none: the kind's own
    int index = -1;              ///< position in a control array (several rows of one name)
    QString picture{};           ///< resource path of a Window's skin or a Picture's image
    QString icon{};              ///< resource path of a Window's icon
    bool centred = false;        ///< a Window that opens centred on the primary screen
};

/// The Window row of a design; asserts that there is one.
const ControlRow &windowRow(const QList<ControlRow> &design);

/// The key a control is found by: its name, or "name(index)" for a member of
/// a control array.
QString controlKey(const QString &name, int index = -1);

/// Builds a window from its design: the Window row sets its title, icon and
/// fixed size (where it opens and what it paints are the window's own
/// business); every other row becomes a control, in table order (a later
/// control lies above an earlier one), each with its object name, geometry
/// and caption; the focus-taking ones chained in tab-index order. Returns
/// the controls by controlKey().
QHash<QString, QWidget *> buildControls(QWidget *window, const QList<ControlRow> &design);

/// The control of that key and type; asserts that it exists.
template <class T> T *control(const QHash<QString, QWidget *> &controls, const QString &key)
{
    T *w = qobject_cast<T *>(controls.value(key));
    Q_ASSERT_X(w, "control", qPrintable(key));
    return w;
}
