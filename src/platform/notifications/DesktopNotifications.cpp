#include "platform/notifications/DesktopNotifications.h"

#include "core/ApplicationInfo.h"
#include "platform/notifications/NotificationServer.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <utility>

namespace {

const QString showAction = QStringLiteral("show");
// Clicking the notification itself, where the service offers that.
const QString defaultAction = QStringLiteral("default");
// Icons larger than this are scaled down: the pixels travel in the message.
constexpr int maxIconSide = 64;

// The "image-data" hint: width, height, bytes per row, alpha, bits per sample, channels and
// the pixels, as RGBA bytes.
struct ImageData
{
    QImage image;
};

QDBusArgument &operator<<(QDBusArgument &argument, const ImageData &data)
{
    const QImage &image = data.image;
    argument.beginStructure();
    argument << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    argument.endStructure();
    return argument;
}

// Only sent, never read; QtDBus wants both directions of a type it marshals.
const QDBusArgument &operator>>(const QDBusArgument &argument, ImageData &)
{
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(ImageData)

DesktopNotifications::DesktopNotifications(QObject *parent)
    : DesktopNotifications(QDBusConnection::sessionBus(), parent)
{
}

DesktopNotifications::DesktopNotifications(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
{
    qDBusRegisterMetaType<ImageData>();
    if (!bus.isConnected())
        return;
    m_server = new NotificationServer(bus, this);
    connect(m_server, &NotificationServer::ActionInvoked, this, &DesktopNotifications::actionInvoked);
}

void DesktopNotifications::show(const QString &title, const QString &body, const QImage &icon)
{
    if (!m_server) {
        reportOnce(tr("there is no session bus"));
        return;
    }
    if (m_asking) {
        m_waiting = Notification{title, body, icon};
        return;
    }
    send({title, body, icon});
}

void DesktopNotifications::send(const Notification &notification)
{
    const auto &[title, body, icon] = notification;
    QImage pixels = icon.convertToFormat(QImage::Format_RGBA8888);
    if (pixels.width() > maxIconSide || pixels.height() > maxIconSide)
        pixels = pixels.scaled(maxIconSide, maxIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QVariantMap hints{{QStringLiteral("desktop-entry"), QLatin1String(ApplicationInfo::id)}};
    if (!pixels.isNull())
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(ImageData{pixels}));
    const QString appName = QCoreApplication::applicationName();
    auto *call
        = new QDBusPendingCallWatcher(m_server->notify(appName.isEmpty() ? QStringLiteral("Orvanta") : appName,
                                                       m_shownId, QLatin1String(ApplicationInfo::id), title, body,
                                                       {defaultAction, tr("Show"), showAction, tr("Show")}, hints),
                                      this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &DesktopNotifications::answered);
    m_asking = true;
}

void DesktopNotifications::answered(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    m_asking = false;
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isError())
        reportOnce(reply.error().message());
    else
        m_shownId = reply.value();
    if (m_waiting) {
        const Notification next = *std::exchange(m_waiting, std::nullopt);
        send(next);
    }
}

void DesktopNotifications::actionInvoked(uint id, const QString &actionKey)
{
    // The service tells every listener of every program's actions.
    if (id != 0 && id == m_shownId && (actionKey == showAction || actionKey == defaultAction))
        emit showChosen();
}

void DesktopNotifications::reportOnce(const QString &problem)
{
    if (m_reported)
        return;
    m_reported = true;
    qWarning("%s",
             qPrintable(tr("Orvanta cannot show desktop notifications (%1); it says so only once.").arg(problem)));
}
