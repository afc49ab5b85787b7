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

// WORKAROUND: the portal's Read wraps the value in a second variant (a long-standing
// portal quirk, kept for compatibility), SettingChanged does not; unwrap either.
std::optional<uint> colorSchemeValue(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    if (value.metaType() != QMetaType::fromType<uint>())
        return std::nullopt;
    return value.toUInt();
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
    auto *call = new QDBusPendingCallWatcher(portal->read(appearanceNamespace, colorSchemeKey), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &ColorSchemeWatcher::readAnswered);
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

bool ColorSchemeWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationPaletteChange)
        notifyIfFlipped();
    return QObject::eventFilter(watched, event);
}

void ColorSchemeWatcher::readAnswered(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *call;
    // A desktop without the portal, or one whose portal lacks the setting, keeps the palette.
    if (reply.isError())
        return;
    setPortalValue(colorSchemeValue(QVariant::fromValue(reply.value())));
}

void ColorSchemeWatcher::settingChanged(const QString &settingNamespace, const QString &key, const QDBusVariant &value)
{
    if (settingNamespace == appearanceNamespace && key == colorSchemeKey)
        setPortalValue(colorSchemeValue(QVariant::fromValue(value)));
}

void ColorSchemeWatcher::setPortalValue(std::optional<uint> value)
{
    m_portalValue = value;
    notifyIfFlipped();
}

void ColorSchemeWatcher::notifyIfFlipped()
{
    const bool dark = isDark();
    if (dark == m_lastDark)
        return;
    m_lastDark = dark;
    emit changed();
}
