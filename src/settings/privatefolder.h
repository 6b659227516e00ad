#pragma once

#include <QString>

/// Whether a folder is the user's own and closed to everyone else: a real
/// folder (not a link) owned by this user, with no access for group or others.
/// Files put there cannot be read, replaced or planted by another user.
namespace PrivateFolder {

/// Why `path` is not such a folder, in words for a log line; "" when it is.
QString distrust(const QString &path);

} // namespace PrivateFolder
