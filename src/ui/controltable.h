#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>

class QWidget;

/// One control of a dialog layout, as a form designer would record it.
struct ControlRow {
    enum class Kind {
        Label,        ///< QLabel
        BorderLabel,  ///< QLabel with a single sunken border
        TextBox,      ///< QLineEdit
        UpDown,       ///< UpDown, range minimum..maximum
        CheckBox,     ///< QCheckBox
        OptionButton, ///< QRadioButton (exclusive among its siblings)
        Frame,        ///< QGroupBox; the caption, if any, is its title
        Button,       ///< QPushButton; Enter presses it when it has the focus
        Slider,       ///< horizontal QSlider, range minimum..maximum, no tick marks
        Line,         ///< a one-pixel line of `color` from the rect's left to its right
    };
    Kind kind;
    QString name;
    QString container; ///< name of the Frame it sits in; empty: the window
    QRect rect;        ///< relative to the container
    QString caption;
    int tabIndex = -1; ///< position in the tab order; ignored for controls without focus
    int minimum = 0;
    int maximum = 0;
    QColor color;
};

/// Builds a dialog's controls from its layout table: in table order (a later
/// control lies above an earlier one), each with its object name, geometry
/// and caption; the focus-taking ones chained in tab-index order. Returns the
/// controls by name.
QHash<QString, QWidget *> buildControls(QWidget *window, const QList<ControlRow> &layout);

/// The control of that name and type; asserts that it exists.
template <class T> T *control(const QHash<QString, QWidget *> &controls, const QString &name)
{
    T *w = qobject_cast<T *>(controls.value(name));
    Q_ASSERT_X(w, "control", qPrintable(name));
    return w;
}
