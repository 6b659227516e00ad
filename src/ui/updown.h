#pragma once

#include <QWidget>

class QToolButton;

/// An up-down spinner: two arrow buttons stacked vertically that step a
/// value within a range, without a text field of its own (the dialogs copy
/// the value into a text box). Up/Down keys step it when it has the focus.
/// Clicking the arrows does not take the focus from the text box beside it.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setRange(int minimum, int maximum);

public slots:
    /// Clamped to the range; valueChanged() only when the value changes.
    void setValue(int value);
    void stepUp() { setValue(m_value + 1); }
    void stepDown() { setValue(m_value - 1); }

signals:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateButtons();

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 99;
};
