#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A D-Bus daemon of the test's own, without service activation, so that no real desktop
// service can answer on it; stopped when it goes.
class PrivateBus
{
public:
    ~PrivateBus()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished();
        }
    }

    static bool daemonInstalled() { return !daemonPath().isEmpty(); }

    // The bus's address once it runs; empty when it did not come up.
    QString start()
    {
        if (!m_dir.isValid())
            return {};
        const QString configPath = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile config(configPath);
        const QByteArray text = QStringLiteral("<busconfig>\n"
                                               "  <type>session</type>\n"
                                               "  <listen>unix:dir=%1</listen>\n"
                                               "  <auth>EXTERNAL</auth>\n"
                                               "  <policy context=\"default\">\n"
                                               "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                               "    <allow eavesdrop=\"true\"/>\n"
                                               "    <allow own=\"*\"/>\n"
                                               "  </policy>\n"
                                               "</busconfig>\n")
                                    .arg(m_dir.path().toHtmlEscaped())
                                    .toUtf8();
        if (!config.open(QIODevice::WriteOnly) || config.write(text) != text.size() || !config.flush())
            return {};
        config.close();
        m_daemon.start(daemonPath(),
                       {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        if (!m_daemon.waitForStarted())
            return {};
        while (!m_daemon.canReadLine()) {
            if (!m_daemon.waitForReadyRead(10000))
                return {};
        }
        return QString::fromUtf8(m_daemon.readLine().trimmed());
    }

private:
    static QString daemonPath() { return QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")); }

    QTemporaryDir m_dir;
    QProcess m_daemon;
};

// A stand-in for a desktop service in a process of its own, which says what it is asked on
// its standard output, a line at a time, and takes commands on its standard input.
class ServiceProcess
{
public:
    ~ServiceProcess()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }

    // Starts it; false when it did not say "ready".
    bool start(const QString &program, const QStringList &arguments)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, arguments);
        return m_process.waitForStarted() && nextLine() == "ready";
    }

    // Its next line, or empty when none came within ten seconds. The test's own events go
    // on meanwhile, so that its side can answer what the service sends.
    QByteArray nextLine()
    {
        const QDeadlineTimer deadline(10000);
        while (!m_process.canReadLine()) {
            if (deadline.hasExpired())
                return {};
            QCoreApplication::processEvents();
            m_process.waitForReadyRead(20);
        }
        return m_process.readLine().trimmed();
    }

    bool send(const QByteArray &command) { return m_process.write(command + '\n') == command.size() + 1; }

private:
    QProcess m_process;
};
