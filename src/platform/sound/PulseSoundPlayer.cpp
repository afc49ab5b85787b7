#include "platform/sound/PulseSoundPlayer.h"

#include "platform/UniqueFd.h"
#include "platform/sound/SoundHelper.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <system_error>
#include <thread>

extern char **environ;

PulseSoundPlayer::PulseSoundPlayer(const QString &program, QObject *parent)
    : QObject(parent)
    , m_program(program.toLocal8Bit())
{
}

void PulseSoundPlayer::play(const QString &name)
{
    if (!QFileInfo(SoundHelper::soundFile(QString::fromLocal8Bit(m_program), name)).isFile())
        return;
    const QByteArray sound = name.toLatin1();
    char *const argv[]
        = {m_program.data(), const_cast<char *>(SoundHelper::option), const_cast<char *>(sound.data()), nullptr};
    // The helper gets none of this process's files: a lock it held would outlive the card.
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return;
    pid_t pid = 0;
    const bool spawned = posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0
        && posix_spawn(&pid, m_program.constData(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned)
        return;
    ++m_active;
    reapWhenDone(pid);
}

// The helper is waited for, so it leaves no zombie: by the event loop where the kernel
// hands out a descriptor for it, otherwise by a thread that only waits.
void PulseSoundPlayer::reapWhenDone(int pid)
{
    // WORKAROUND: Debian 12's <sys/pidfd.h> declares pidfd_open without C linkage.
    UniqueFd process(int(syscall(SYS_pidfd_open, pid, 0)));
    if (process.isValid()) {
        auto *notifier = new QSocketNotifier(process.get(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this,
                [this, pid, notifier, fd = std::make_shared<UniqueFd>(std::move(process))] {
                    waitpid(pid, nullptr, 0);
                    --m_active;
                    notifier->setEnabled(false);
                    notifier->deleteLater();
                });
        return;
    }
    try {
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    } catch (const std::system_error &) {
        // Left for the kernel to reap when this process ends.
    }
    --m_active;
}
