#pragma once

#include <QLabel>

/// A label that acts as a button: clicked() on a left press and release
/// inside it.
class LabelButton : public QLabel {
    Q_OBJECT
public:
    explicit LabelButton(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
