#include "platform/atspi/ExpandedStateNotifier.h"

#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {

// An accessible object as AT-SPI names it on the bus: (so), the bus name and the object path.
struct ObjectReference
{
    QString service;
    QDBusObjectPath path;
};

QDBusArgument &operator<<(QDBusArgument &argument, const ObjectReference &reference)
{
    argument.beginStructure();
    argument << reference.service << reference.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ObjectReference &reference)
{
    argument.beginStructure();
    argument >> reference.service >> reference.path;
    argument.endStructure();
    return argument;
}

// The name under which Qt's bridge keeps its connection to the accessibility bus, and the
// paths it gives the application and each object.
const QString kBridgeConnection = QStringLiteral("a11y");
const QString kObjectPathPrefix = QStringLiteral("/org/a11y/atspi/accessible/");
const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");

} // namespace

Q_DECLARE_METATYPE(ObjectReference)

void ExpandedStateNotifier::announce(QObject *control, bool expanded)
{
    if (!QAccessible::isActive())
        return;
    QDBusConnection bus(kBridgeConnection);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    if (!bus.isConnected() || !accessible)
        return;
    static const QMetaType registered = qDBusRegisterMetaType<ObjectReference>();
    Q_UNUSED(registered);

    const QString path = kObjectPathPrefix + QString::number(QAccessible::uniqueId(accessible));
    const ObjectReference self{bus.baseService(), QDBusObjectPath(path)};
    const ObjectReference application{bus.baseService(), QDBusObjectPath(kRootPath)};
    QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"),
                                                     QStringLiteral("StateChanged"));
    signal << QStringLiteral("expanded") << int(expanded) << 0
           << QVariant::fromValue(QDBusVariant(QVariant::fromValue(self))) << QVariant::fromValue(application);
    bus.send(signal);
}
