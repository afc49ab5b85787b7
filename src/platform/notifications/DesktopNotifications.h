#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>

#include <optional>

class NotificationServer;
class QDBusPendingCallWatcher;

// The desktop's notifications, one at a time: each new one takes the place of the one shown
// before. Each offers a "Show" action. Without a notification service nothing shows, and the
// reason is said once on standard error, however often it is tried.
class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    // Notifies through the service on the session bus.
    explicit DesktopNotifications(QObject *parent = nullptr);
    explicit DesktopNotifications(const QDBusConnection &bus, QObject *parent = nullptr);

    // The icon travels as pixels, so that it shows wherever the program runs from; its theme
    // name is given as well, for services that draw only named icons.
    void show(const QString &title, const QString &body, const QImage &icon);

signals:
    // The user chose "Show" on the notification shown last (or clicked it).
    void showChosen();

private:
    struct Notification
    {
        QString title;
        QString body;
        QImage icon;
    };

    void send(const Notification &notification);
    void answered(QDBusPendingCallWatcher *call);
    void actionInvoked(uint id, const QString &actionKey);
    void reportOnce(const QString &problem);

    NotificationServer *m_server = nullptr;
    uint m_shownId = 0;
    // One call at a time, so that the next one knows which notification it replaces; the
    // newest of those that came meanwhile waits here.
    bool m_asking = false;
    std::optional<Notification> m_waiting;
    bool m_reported = false;
};
