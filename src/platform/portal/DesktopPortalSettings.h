#pragma once

#include <QDBusAbstractInterface>
#include <QDBusPendingCall>
#include <QDBusVariant>

// The settings interface of the XDG desktop portal on a bus. Subscribing to the
// SettingChanged signal adds the match on the bus; nothing here blocks on the portal.
class DesktopPortalSettings : public QDBusAbstractInterface
{
    Q_OBJECT

public:
    explicit DesktopPortalSettings(const QDBusConnection &bus, QObject *parent = nullptr);

    // Answers with one variant that holds the value as a variant.
    QDBusPendingCall read(const QString &settingNamespace, const QString &key);

signals:
    // Named as on the bus: the signal is matched by its name and argument types.
    void SettingChanged(const QString &settingNamespace, const QString &key, const QDBusVariant &value);
};
