#pragma once

#include <QString>

enum class CdDoorCommand { Open, Close };

/// The system's reason for an error number, in Chinese.
QString systemErrorText(int error);

/// The message shown when a door command failed: what failed, the device and
/// the reason, lines separated by "\r".
QString cdDoorFailureText(CdDoorCommand command, const QString &device, int error);
