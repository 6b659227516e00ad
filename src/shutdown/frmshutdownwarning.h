#pragma once

#include "ui/skinneddialog.h"

#include <QDateTime>

class QLabel;
class QPushButton;
class SecondTicker;

/// The warning shown, topmost, when the scheduled shutdown time has come and
/// "shut down without asking" is off: it counts down a minute, then powers
/// the computer off. "立即关机" does so at once; "取消" or the close mark
/// skips this shutdown. Only seconds the program is awake for count, so a
/// suspend during the countdown never powers off straight after the resume.
class frmShutdownWarning : public SkinnedDialog {
    Q_OBJECT
public:
    static constexpr int CountdownSeconds = 60;

    explicit frmShutdownWarning(WindowTable &table);

    void load() override;

    int secondsLeft() const { return m_left; }

    QLabel *lblCountdown = nullptr;
    QPushButton *cmdShutDownNow = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void onSecond(const QDateTime &now);
    void showCountdown();
    void shutDownNow();

    SecondTicker *m_ticker = nullptr;
    QDateTime m_lastSecond;
    int m_left = CountdownSeconds;
};
