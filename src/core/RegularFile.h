#pragma once

#include <QByteArray>
#include <QString>

// Reads a file that comes from outside the program without trusting what lies under its name.
namespace RegularFile {

enum class Outcome {
    Read,
    Missing,
    // A named pipe, a device, a folder or a link to one: never opened for good, so nothing
    // waits on it and no device is touched.
    NotRegular,
    TooLarge,
    Failed,
};

struct Contents
{
    Outcome outcome = Outcome::Missing;
    // Empty unless the outcome is Read.
    QByteArray bytes;
};

// Reads path when it is a regular file, or a link to one, of at most maxBytes. At most
// min(size, maxBytes) + 1 bytes are ever held, so a file that grows while it is read is
// still seen to be too large without taking the memory the bound allows.
Contents read(const QString &path, qint64 maxBytes);

} // namespace RegularFile
