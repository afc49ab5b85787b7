#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A real tmpfs of a few KiB mounted on an empty folder, so that a test sees what a full
// disk does to a write. Mounting needs root (CI runs as root); without it whyNotMounted()
// says why, for the skip message. Unmounted when it goes, also after a failed check.
class TinyFileSystem
{
public:
    TinyFileSystem(const QString &folder, int kib)
        : m_folder(folder)
    {
        if (::geteuid() != 0) {
            m_whyNot = QStringLiteral("mounting a tmpfs needs root");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0700";
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()))
            m_whyNot = QStringLiteral("cannot mount a tmpfs: ") + QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TinyFileSystem()
    {
        if (isMounted())
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
    }
    TinyFileSystem(const TinyFileSystem &) = delete;
    TinyFileSystem &operator=(const TinyFileSystem &) = delete;

    bool isMounted() const { return m_whyNot.isEmpty(); }
    QString whyNotMounted() const { return m_whyNot; }

    // Takes every free block with one file; true once a write has failed for want of space.
    bool fill() const
    {
        const int fd = ::open(QFile::encodeName(fillerPath()).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'x');
        ssize_t written = 0;
        do
            written = ::write(fd, block.constData(), size_t(block.size()));
        while (written > 0);
        const bool full = written < 0 && errno == ENOSPC;
        ::close(fd);
        return full;
    }
    bool makeRoom() const { return QFile::remove(fillerPath()); }
    // After fill(): frees about this many bytes again, so that small writes fit and large ones do not.
    bool leaveRoom(qint64 bytes) const
    {
        QFile filler(fillerPath());
        return filler.size() > bytes && filler.resize(filler.size() - bytes);
    }
    QString fillerPath() const { return m_folder + QStringLiteral("/filler"); }

private:
    QString m_folder;
    QString m_whyNot;
};
