#pragma once

#include "platform/powerbackend.h"

/// The message that tells the user the computer was not switched off or
/// restarted, and why: who refused or did not answer, the error's name and
/// message, and for logind the programs that block it. Lines are separated
/// by "\r", as in every message of the program.
QString powerFailureText(PowerRequest what, const PowerFailure &failure);
