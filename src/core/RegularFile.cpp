#include "core/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {

Outcome outcomeOfMissing(const QByteArray &name)
{
    // A link that leads nowhere is something under the name all the same.
    struct stat info;
    return ::lstat(name.constData(), &info) == 0 ? Outcome::NotRegular : Outcome::Missing;
}

} // namespace

Contents read(const QString &path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    // Looked at before it is opened: opening a device can already do something.
    if (::stat(name.constData(), &info) != 0)
        return {errno == ENOENT ? outcomeOfMissing(name) : Outcome::Failed, {}};
    if (!S_ISREG(info.st_mode))
        return {Outcome::NotRegular, {}};
    if (info.st_size > maxBytes)
        return {Outcome::TooLarge, {}};
    // Without blocking, and checked again once open, in case something else took its place.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT ? Outcome::Missing : Outcome::Failed, {}};
    Contents contents{Outcome::Read, {}};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        contents.outcome = Outcome::NotRegular;
    } else {
        const qint64 room = std::min<qint64>(info.st_size, maxBytes) + 1;
        contents.bytes.resize(room);
        qint64 done = 0;
        while (done < room) {
            const ssize_t n = ::read(fd, contents.bytes.data() + done, size_t(room - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                contents.outcome = Outcome::Failed;
            if (n <= 0)
                break;
            done += n;
        }
        if (done > maxBytes)
            contents.outcome = Outcome::TooLarge;
        contents.bytes.truncate(contents.outcome == Outcome::Read ? done : 0);
    }
    ::close(fd);
    return contents;
}

} // namespace RegularFile
