#pragma once

#include "ui/skinneddialog.h"

#include <QDateTime>

class QLabel;
class QPushButton;
class SecondTicker;

/// The warning shown, topmost, a minute before the scheduled shutdown when
/// "shut down without asking" is off: it counts down to the stated second
/// (a minute, or what is left of it), then powers the computer off. "立即关机" does so at once;
/// "取消" or the close mark skips this shutdown. Only seconds the program is awake for count, so a
/// suspend during the countdown never powers off straight after the resume.
class ShutdownWarning : public SkinnedDialog {
    Q_OBJECT
public:
    /// The window's object name, by which scripts and tests find it.
    static constexpr const char *WindowName = "frmShutdownWarning";

    static constexpr int CountdownSeconds = 60;

    explicit ShutdownWarning(WindowTable &table);

    /// The window, its chrome and its controls.
    static const QList<ControlRow> &design();

    void load() override;
    /// Shows the warning counting down from `seconds` (at most a minute).
    void countDown(int seconds);

private:
    QLabel *lblCountdown = nullptr;
    QPushButton *cmdShutDownNow = nullptr;
    QPushButton *cmdCancel = nullptr;

    void onSecond(const QDateTime &now);
    void showCountdown();
    void shutDownNow();

    SecondTicker *m_ticker = nullptr;
    QDateTime m_lastSecond;
    int m_left = CountdownSeconds;
};
