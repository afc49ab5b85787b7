#pragma once

#include "core/InstanceRequest.h"
#include "platform/UniqueFd.h"

#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

// Keeps one running copy of the program per user, so that one process alone writes the
// settings. The first launch becomes the primary instance; a later launch hands it its request
// (show the card, or what its command line asked) and then exits. That keeps the card reachable
// on desktops without a system tray, and lets desktop shortcuts and scripts drive it. The
// request travels through a named pipe, which needs nothing beyond the C library.
//
// The lock and the pipe live in a folder that only this user can enter: "orvanta" in
// $XDG_RUNTIME_DIR when that is the user's own folder (a directory owned by the user, mode
// 0700), otherwise "orvanta-<uid>" in the temporary folder. Either is made with mode 0700 and
// used only when it is a real directory of the user's with exactly that mode. The lock is
// flock() on the file "lock" there: the kernel drops it with the process that holds it, so a
// crash leaves nothing that blocks the next start, and nothing written in the file is trusted.
//
// A copy started with another runtime folder (after su, or after the session removed the folder
// while the program lived on) cannot see that lock, so the primary instance also holds the file
// "instance.lock" beside the settings. A launch that finds that one held and cannot reach the
// copy holding it does not run. What the holder writes into it (process, host, lock folder) only
// names the other copy for the user.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // storeFolder: the folder of the settings this copy would write.
    explicit SingleInstance(const QString &storeFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the primary instance. False when it must not run: either
    // another instance runs and has been handed the request (errorString() is empty), or no
    // process could be made sure to be the only writer, or the running one could not be
    // reached (errorString() says why).
    bool tryBecomePrimary(const InstanceRequest &request = {});
    QString errorString() const { return m_error; }

    // Empty when no private folder could be had.
    QString folderPath() const { return m_folderPath; }
    QString lockFilePath() const;
    QString pipePath() const;
    QString storeLockPath() const;

signals:
    // A later launch's request to the primary instance.
    void requestReceived(const InstanceRequest &request);

private:
    enum class Lock { Taken, Held, Failed };

    void openFolder();
    Lock takeLock(int folder, const char *name, const QString &path, UniqueFd &lock);
    bool takeStoreLock();
    QString storeHolder(int lock) const;
    void listen();
    void readRequests();
    void askPrimary(const InstanceRequest &request);

    QString m_folderPath;
    QString m_storeFolder;
    UniqueFd m_folder;
    UniqueFd m_lock;
    UniqueFd m_storeLock;
    UniqueFd m_pipe;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_pending;
    bool m_skippingLine = false;
    bool m_junkReported = false;
    QString m_error;
};
