#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QString>

// One request and its reply over the IPC socket of i3 and sway: the magic "i3-ipc", the
// payload's length and the message type (both 32 bits, in the machine's byte order), then
// the payload, JSON in replies. Each request opens the socket anew and waits a bounded time;
// whatever the answer lacks is a one-line reason, never a guess.
class I3IpcClient
{
    Q_DECLARE_TR_FUNCTIONS(I3IpcClient)

public:
    enum MessageType : quint32 { RunCommand = 0, GetWorkspaces = 1 };

    // A reply larger than this is refused: the answers asked for are a few kilobytes.
    static constexpr quint32 maxPayload = 1 << 20;
    static constexpr int timeoutMs = 1000;
    static constexpr int headerSize = 14;

    struct Reply
    {
        QJsonDocument document;
        // Empty when the reply came whole and is JSON.
        QString error;
    };

    explicit I3IpcClient(QString socketPath);

    // The socket named by SWAYSOCK, else by I3SOCK; empty when neither is set.
    static QString socketFromEnvironment();
    // A whole message: header and payload.
    static QByteArray encode(MessageType type, const QByteArray &payload);
    // Checks a reply's header against the request; the payload's length, or a reason.
    static quint32 payloadLength(const QByteArray &header, MessageType asked, QString *error);

    Reply request(MessageType type, const QByteArray &payload) const;

private:
    QString m_socketPath;
};
