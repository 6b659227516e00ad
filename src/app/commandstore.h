#pragma once

#include "app/commandline.h"

#include <QDateTime>

class FeatureSettings;
class SettingsStore;

/// What the commands of the command line do to the settings, the same in
/// the running clock and without one: each writes exactly what the dialog
/// for that setting writes.
namespace CommandStore {

/// Stores a command that changes the settings (Command::changesSettings):
/// one confirming line on standard output, or exit code Failure and the
/// reason when the store could not be written.
CommandLine::Reply apply(const CommandLine::Command &command, FeatureSettings &settings,
                         const QDateTime &now);

/// The --status lines, "key<TAB>value" each: alarm (HH:MM or off),
/// alarm-message (written as CommandLine::escaped() gives it: one line,
/// backslashes as \\, tabs and line breaks as \t, \n, \r, other controls
/// as \xNN or \uNNNN),
/// chime (on or off), shutdown (off, "HH:MM:SS daily" or "HH:MM:SS once
/// YYYY-MM-DD", then " no-prompt" when it will not ask) and running (yes or
/// no). A one-off shutdown whose moment has gone by counts as off.
QString status(const SettingsStore &store, bool running, const QDateTime &now);

} // namespace CommandStore
