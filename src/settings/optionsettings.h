#pragma once

#include "settings/settingsowner.h"

#include <QObject>

/// What the options dialog keeps: whether the box for starting at log-on
/// was ticked (chkautorun; the box itself shows the log-on entry as it is),
/// and, with it, the chime's and the scheduled shutdown's switches, saved
/// together by one OK.
class OptionSettings : public SettingsOwner {
    Q_OBJECT
public:
    explicit OptionSettings(SettingsStore &store, QObject *parent = nullptr);

    /// The dialog's OK: the three switches in one write.
    bool save(bool chime, bool shutdown, bool startAtLogOn);
};
