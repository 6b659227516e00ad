#pragma once

#include <QLabel>

/// A plain-text label that wraps its text within its width, breaking a word
/// that is wider than a line, and shows only the lines that fit its height;
/// when text is left over, the last shown line ends in "…". Markup in the
/// text is shown as written, never interpreted.
class WrappingLabel : public QLabel {
    Q_OBJECT
public:
    explicit WrappingLabel(QWidget *parent = nullptr);

    /// The lines as painted now (for tests and accessibility).
    QStringList shownLines() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textArea() const;
};
