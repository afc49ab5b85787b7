#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Writes that never cost what was there before. Each returns why it failed, in words
// for the user, or an empty string when every step succeeded.
namespace SafeFile {

inline constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Creates the folder and whichever of its parents are missing, each 0700 (less what the
// umask takes); folders that exist already are left as they are.
QString makeFolders(const QString &folder);

// Replaces path with bytes through a temporary file beside it: written, synced, renamed
// over the old file, and the folder synced. When any step fails the temporary file is
// removed and the old file is untouched. The new file gets permissions when they are
// given, else those of the old file (or 0666 less the umask for a new one).
//
// Only a regular file is replaced. A symbolic link to one (as dotfiles managers make) is
// written through: the file it leads to is replaced and the link kept. Anything else
// under the name, or behind the link (a named pipe, a device, a folder, a dangling link),
// is refused and left as it is.
QString replace(const QString &path, const QByteArray &bytes,
                std::optional<QFileDevice::Permissions> permissions = std::nullopt);

// Writes bytes to path, which must not exist yet, and syncs them; a failed write leaves
// no file behind.
QString create(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions);

// A fresh name for a temporary file of replace() beside path. Nobody would give a file
// such a name, so only files named like this are the program's own to clean up.
QString temporaryPath(const QString &path);

// Removes what a replace() of path killed between writing and renaming left behind:
// plain files of this user's named as temporaryPath() names them, and nothing else.
void removeTemporaries(const QString &path);

} // namespace SafeFile
