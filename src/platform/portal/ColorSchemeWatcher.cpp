#include "platform/portal/ColorSchemeWatcher.h"

#include "platform/portal/DesktopPortalSettings.h"

#include <QColor>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace {

const QString appearanceNamespace = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
const QString contrastKey = QStringLiteral("contrast");
// GNOME's own switch, which its portal hands on with the rest of its desktop settings.
const QString gnomeA11yNamespace = QStringLiteral("org.gnome.desktop.a11y.interface");
const QString gnomeHighContrastKey = QStringLiteral("high-contrast");

// WORKAROUND: the portal's Read wraps the value in a second variant (a long-standing
// portal quirk, kept for compatibility), SettingChanged does not; unwrap either.
QVariant settingValue(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

std::optional<uint> numberValue(const QVariant &value)
{
    const QVariant setting = settingValue(value);
    if (setting.metaType() != QMetaType::fromType<uint>())
        return std::nullopt;
    return setting.toUInt();
}

// Anything but a Boolean true, an unreadable value included, asks for nothing.
bool trueValue(const QVariant &value)
{
    const QVariant setting = settingValue(value);
    return setting.metaType() == QMetaType::fromType<bool>() && setting.toBool();
}

QColor windowColour()
{
    return QGuiApplication::palette().color(QPalette::Window);
}

} // namespace

ColorSchemeWatcher::ColorSchemeWatcher(QObject *parent)
    : ColorSchemeWatcher(QDBusConnection::sessionBus(), parent)
{
}

ColorSchemeWatcher::ColorSchemeWatcher(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_lastDark(isDark())
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
    if (!bus.isConnected())
        return;
    auto *portal = new DesktopPortalSettings(bus, this);
    connect(portal, &DesktopPortalSettings::SettingChanged, this, &ColorSchemeWatcher::settingChanged);
    // A desktop without the portal, or one whose portal lacks a setting, answers with an error:
    // what was not read keeps asking for nothing.
    const auto read = [this, portal](const QString &settingNamespace, const QString &key) {
        auto *call = new QDBusPendingCallWatcher(portal->read(settingNamespace, key), this);
        connect(call, &QDBusPendingCallWatcher::finished, this,
                [this, settingNamespace, key](QDBusPendingCallWatcher *answered) {
                    answered->deleteLater();
                    const QDBusPendingReply<QDBusVariant> reply = *answered;
                    if (!reply.isError())
                        settingChanged(settingNamespace, key, reply.value());
                });
    };
    read(appearanceNamespace, colorSchemeKey);
    read(appearanceNamespace, contrastKey);
    read(gnomeA11yNamespace, gnomeHighContrastKey);
}

bool ColorSchemeWatcher::isDark() const
{
    return schemeIsDark(m_portalValue, windowColour());
}

bool ColorSchemeWatcher::schemeIsDark(std::optional<uint> portalValue, const QColor &windowColour)
{
    if (portalValue == 1u)
        return true;
    if (portalValue == 2u)
        return false;
    return windowColour.lightness() < 128;
}

bool ColorSchemeWatcher::isHighContrast() const
{
    return m_portalContrast == 1u || m_gnomeHighContrast;
}

bool ColorSchemeWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationPaletteChange)
        notifyIfFlipped();
    return QObject::eventFilter(watched, event);
}

void ColorSchemeWatcher::settingChanged(const QString &settingNamespace, const QString &key, const QDBusVariant &value)
{
    const QVariant setting = QVariant::fromValue(value);
    if (settingNamespace == appearanceNamespace && key == colorSchemeKey)
        m_portalValue = numberValue(setting);
    else if (settingNamespace == appearanceNamespace && key == contrastKey)
        m_portalContrast = numberValue(setting);
    else if (settingNamespace == gnomeA11yNamespace && key == gnomeHighContrastKey)
        m_gnomeHighContrast = trueValue(setting);
    else
        return;
    notifyIfFlipped();
}

void ColorSchemeWatcher::notifyIfFlipped()
{
    const bool dark = isDark();
    const bool highContrast = isHighContrast();
    if (dark == m_lastDark && highContrast == m_lastHighContrast)
        return;
    m_lastDark = dark;
    m_lastHighContrast = highContrast;
    emit changed();
}
