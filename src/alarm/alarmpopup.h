#pragma once

#include "alarm/ringingpopup.h"

class WrappingLabel;

/// The alarm: the time of day, the stored alarm message and ohmy.wav,
/// topmost. Closing it leaves the alarm armed for the next day.
class AlarmPopup : public RingingPopup {
    Q_OBJECT
public:
    /// The window's object name, by which scripts and tests find it.
    static constexpr const char *WindowName = "frmTimer";

    explicit AlarmPopup(WindowTable &table);

    /// The window, its chrome and its controls.
    static const QList<ControlRow> &design();

protected:
    void loadMessage() override;

private:
    WrappingLabel *lblPromptMsg = nullptr;
};
