#include "platform/portal/DesktopPortalSettings.h"

DesktopPortalSettings::DesktopPortalSettings(const QDBusConnection &bus, QObject *parent)
    : QDBusAbstractInterface(QStringLiteral("org.freedesktop.portal.Desktop"),
                             QStringLiteral("/org/freedesktop/portal/desktop"), "org.freedesktop.portal.Settings", bus,
                             parent)
{
}

QDBusPendingCall DesktopPortalSettings::read(const QString &settingNamespace, const QString &key)
{
    return asyncCall(QStringLiteral("Read"), settingNamespace, key);
}
