#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

// Keeps one running copy of the program per user. The first launch becomes the primary
// instance; a later launch asks it to show its widget and then exits. That keeps the
// widget reachable on desktops without a system tray. The request travels through a
// named pipe, which needs nothing beyond the C library.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The lock and the pipe live in $XDG_RUNTIME_DIR, or in the temporary folder under
    // names that carry the user id.
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the primary instance. False when another instance
    // runs: it has been asked to show itself and the caller should exit.
    bool tryBecomePrimary();

    QString lockFilePath() const { return m_lockPath; }
    QString pipePath() const { return m_pipePath; }

signals:
    // A later launch asked the primary instance to show itself.
    void showRequested();

private:
    void listen();
    void readRequests();
    void askPrimaryToShow() const;

    QString m_lockPath;
    QString m_pipePath;
    QLockFile m_lock;
    int m_pipe = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_pending;
};
