#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

// Keeps one running copy of the program per user. The first launch becomes the primary
// instance; a later launch asks it to show its widget and then exits. That keeps the
// widget reachable on desktops without a system tray.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The lock and the socket live in $XDG_RUNTIME_DIR, or in the temporary folder under
    // names that carry the user id.
    explicit SingleInstance(QObject *parent = nullptr);

    // True when this process is now the primary instance. False when another instance
    // runs: it has been asked to show itself and the caller should exit.
    bool tryBecomePrimary();

    QString lockFilePath() const { return m_lockPath; }
    QString socketPath() const { return m_socketPath; }

signals:
    // A later launch asked the primary instance to show itself.
    void showRequested();

private:
    void acceptConnections();
    void askPrimaryToShow() const;

    QString m_lockPath;
    QString m_socketPath;
    QLockFile m_lock;
    QLocalServer m_server;
};
