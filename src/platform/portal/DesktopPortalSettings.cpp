#include "platform/portal/DesktopPortalSettings.h"

DesktopPortalSettings::DesktopPortalSettings(const QDBusConnection &bus, QObject *parent)
    : QDBusAbstractInterface(QStringLiteral("org.freedesktop.portal.Desktop"),
                             QStringLiteral("/org/freedesktop/portal/desktop"), "org.freedesktop.portal.Settings", bus,
                             parent)
{
    // WORKAROUND: Qt 6.4 subscribes to a D-Bus signal only when it knows the meta-type of
    // every argument; QDBusVariant is not known until something registers it, and without
    // it connecting to SettingChanged silently adds no match rule on the bus.
    qRegisterMetaType<QDBusVariant>();
}

QDBusPendingCall DesktopPortalSettings::read(const QString &settingNamespace, const QString &key)
{
    return asyncCall(QStringLiteral("Read"), settingNamespace, key);
}
