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

// Replaces path with bytes through a temporary file beside it: written, flushed, synced,
// then renamed over the old file. When any step fails the temporary file is removed and
// the old file is untouched. The new file gets permissions when they are given, else
// those of the old file.
QString replace(const QString &path, const QByteArray &bytes,
                std::optional<QFileDevice::Permissions> permissions = std::nullopt);

// Writes bytes to path, which must not exist yet, and syncs them; a failed write leaves
// no file behind.
QString create(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions);

} // namespace SafeFile
