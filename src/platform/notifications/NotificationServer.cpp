#include "platform/notifications/NotificationServer.h"

NotificationServer::NotificationServer(const QDBusConnection &bus, QObject *parent)
    : QDBusAbstractInterface(QStringLiteral("org.freedesktop.Notifications"),
                             QStringLiteral("/org/freedesktop/Notifications"), "org.freedesktop.Notifications", bus,
                             parent)
{
}

QDBusPendingCall NotificationServer::notify(const QString &appName, uint replacesId, const QString &appIcon,
                                            const QString &summary, const QString &body, const QStringList &actions,
                                            const QVariantMap &hints)
{
    // -1: the service decides how long the notification stays.
    return asyncCall(QStringLiteral("Notify"), appName, replacesId, appIcon, summary, body, actions, hints, -1);
}
