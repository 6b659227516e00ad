#pragma once

#include <QStringList>

class SettingsStore;

/// Saves "key=value" entries (a key of section Settings, then its text) into
/// the store, one save each and in order: the store as the program would
/// have left it.
void saveSettings(SettingsStore &store, const QStringList &entries);
