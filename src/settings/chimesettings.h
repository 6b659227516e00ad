#pragma once

#include "settings/settingsowner.h"

#include <QObject>

/// The hourly chime's switch (chkinttime: 1 on, anything else off). Every
/// reader and writer of it goes through here.
class ChimeSettings : public SettingsOwner {
    Q_OBJECT
public:
    explicit ChimeSettings(SettingsStore &store, QObject *parent = nullptr);

    static bool read(const SettingsStore &store);
    bool isOn() const { return read(m_store); }
    bool setOn(bool on);

    /// The stored switch for `on`.
    static SettingsStore::Change switchChange(bool on);
};
