#pragma once

#include <QDBusAbstractInterface>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

// The desktop's notification service (org.freedesktop.Notifications) on a bus. Subscribing
// to its signals adds their matches on the bus; nothing here blocks on the service.
class NotificationServer : public QDBusAbstractInterface
{
    Q_OBJECT

public:
    explicit NotificationServer(const QDBusConnection &bus, QObject *parent = nullptr);

    // Answers with the notification's id. replacesId 0 makes a new one.
    QDBusPendingCall notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
                            const QString &body, const QStringList &actions, const QVariantMap &hints);

signals:
    // Named as on the bus: the signals are matched by their names and argument types.
    void ActionInvoked(uint id, const QString &actionKey);
    void NotificationClosed(uint id, uint reason);
};
