// The desktop's notification service, as a process of its own on a given bus, for the
// notification tests: the program must reach it across processes, as it reaches the real one.
//
//   orvanta-fake-notifications ADDRESS
//
// Prints "ready" once it owns the service's name, and for each Notify call one line:
//   notify ID REPLACES ICON_WIDTHxICON_HEIGHT ACTIONS|SUMMARY|BODY|APP_ICON|DESKTOP_ENTRY
// where ICON_ is 0x0 without valid image data and ACTIONS are the action keys (not their
// labels) joined by ",".
// Commands on standard input, one a line:
//   invoke ID KEY   emits ActionInvoked for the notification ID with the action KEY
// It ends when its input ends.

#include "fakes/ServiceMain.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include <cstdio>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");

// "WxH" of a well-formed image-data hint: 8-bit RGBA rows of the stated stride.
QByteArray imageSize(const QVariant &hint)
{
    if (!hint.canConvert<QDBusArgument>())
        return "0x0";
    const QDBusArgument argument = hint.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(iiibiiay)"))
        return "0x0";
    int width = 0, height = 0, stride = 0, bits = 0, channels = 0;
    bool alpha = false;
    QByteArray pixels;
    argument.beginStructure();
    argument >> width >> height >> stride >> alpha >> bits >> channels >> pixels;
    argument.endStructure();
    if (width <= 0 || height <= 0 || bits != 8 || channels != 4 || !alpha || stride < width * 4
        || pixels.size() != qsizetype(stride) * height)
        return "0x0";
    return QByteArray::number(width) + 'x' + QByteArray::number(height);
}

} // namespace

class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit FakeNotifications(const QDBusConnection &bus)
        : m_bus(bus)
    {
    }

    void command(const QByteArray &line)
    {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.value(0) == "invoke" && words.size() == 3) {
            QDBusMessage signal = QDBusMessage::createSignal(path, service, QStringLiteral("ActionInvoked"));
            signal << words[1].toUInt() << QString::fromUtf8(words[2]);
            m_bus.send(signal);
        } else {
            std::fprintf(stderr, "fake notifications: unknown command %s\n", line.constData());
        }
    }

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        Q_UNUSED(appName)
        Q_UNUSED(timeout)
        const uint id = replacesId != 0 ? replacesId : ++m_lastId;
        // Keys and labels alternate.
        QStringList keys;
        for (qsizetype i = 0; i < actions.size(); i += 2)
            keys << actions.at(i);
        const QByteArray line = "notify " + QByteArray::number(id) + ' ' + QByteArray::number(replacesId) + ' '
            + imageSize(hints.value(QStringLiteral("image-data"))) + ' ' + keys.join(u',').toUtf8() + '|'
            + summary.toUtf8() + '|' + body.toUtf8() + '|' + appIcon.toUtf8() + '|'
            + hints.value(QStringLiteral("desktop-entry")).toString().toUtf8();
        std::printf("%s\n", line.constData());
        std::fflush(stdout);
        return id;
    }

    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    QDBusConnection m_bus;
    uint m_lastId = 0;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: orvanta-fake-notifications ADDRESS\n");
        return 2;
    }
    const QDBusConnection bus = QDBusConnection::connectToBus(arguments.first(), QStringLiteral("notifications"));
    if (!bus.isConnected()) {
        std::fprintf(stderr, "fake notifications: no bus there\n");
        return 1;
    }
    FakeNotifications notifications(bus);
    return runService(app, bus, service, path, &notifications,
                      [&](const QByteArray &line) { notifications.command(line); });
}

#include "fake-notifications.moc"
