#pragma once

#include "alarm/ringingpopup.h"

class QLabel;
class WrappingLabel;

/// The alarm: the time of day, the stored alarm message and ohmy.wav,
/// topmost. Closing it leaves the alarm armed for the next day.
class frmTimer : public RingingPopup {
    Q_OBJECT
public:
    explicit frmTimer(WindowTable &table);

    WrappingLabel *promptLabel() const { return lblPromptMsg; }

protected:
    void loadMessage() override;

private:
    QLabel *lblPrompt = nullptr;
    WrappingLabel *lblPromptMsg = nullptr;
};
