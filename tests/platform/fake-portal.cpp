// The desktop portal's settings interface, as a process of its own on a given bus, for the
// colour-scheme tests and the desktop checks: the program must hear it across processes,
// as it hears the real portal.
//
//   orvanta-fake-portal ADDRESS [--scheme N] [--contrast N] [--gnome-high-contrast] [--unknown] [--hold]
//
// --scheme N              the colour scheme Read answers (0 none, 1 dark, 2 light; default 0)
// --contrast N            the contrast Read answers (0 normal, 1 high); unset, the setting does not exist
// --gnome-high-contrast   GNOME's high-contrast setting is true; unset, it does not exist
// --unknown               Read answers that no setting exists
// --hold                  Read answers only on "release"
//
// Prints "ready" once it owns the portal's name and "read" at each Read. Commands on
// standard input, one a line:
//   scheme N                  sets the colour scheme and emits SettingChanged, as the portal does
//   contrast N                the same for the contrast
//   gnome-high-contrast 0|1   the same for GNOME's high-contrast Boolean
//   emit NAMESPACE KEY N      emits SettingChanged for any setting with the number N
//   release                   answers the held Read calls
// It ends when its input ends.

#include "fakes/ServiceMain.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

#include <cstdio>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
const QString contrastKey = QStringLiteral("contrast");
const QString gnomeA11y = QStringLiteral("org.gnome.desktop.a11y.interface");
const QString gnomeHighContrastKey = QStringLiteral("high-contrast");

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

} // namespace

class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    explicit FakePortal(const QDBusConnection &bus)
        : m_bus(bus)
    {
    }

    // What Read answers, by namespace and key; a setting not here does not exist.
    QMap<std::pair<QString, QString>, QVariant> settings{{{appearance, colorSchemeKey}, QVariant::fromValue(0u)}};
    bool holdAnswers = false;

    void command(const QByteArray &line)
    {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.value(0) == "scheme" && words.size() == 2) {
            change(appearance, colorSchemeKey, QVariant::fromValue(words[1].toUInt()));
        } else if (words.value(0) == "contrast" && words.size() == 2) {
            change(appearance, contrastKey, QVariant::fromValue(words[1].toUInt()));
        } else if (words.value(0) == "gnome-high-contrast" && words.size() == 2) {
            change(gnomeA11y, gnomeHighContrastKey, QVariant(words[1] == "1"));
        } else if (words.value(0) == "emit" && words.size() == 4) {
            emitSettingChanged(QString::fromUtf8(words[1]), QString::fromUtf8(words[2]),
                               QVariant::fromValue(words[3].toUInt()));
        } else if (words.value(0) == "release") {
            for (const QDBusMessage &call : std::as_const(m_held))
                m_bus.send(answer(call));
            m_held.clear();
        } else {
            std::fprintf(stderr, "fake portal: unknown command %s\n", line.constData());
        }
    }

public slots:
    QDBusVariant Read(const QString &settingNamespace, const QString &key, const QDBusMessage &call)
    {
        Q_UNUSED(settingNamespace)
        Q_UNUSED(key)
        call.setDelayedReply(true);
        say("read");
        if (holdAnswers)
            m_held << call;
        else
            m_bus.send(answer(call));
        return {};
    }

private:
    void change(const QString &settingNamespace, const QString &key, const QVariant &value)
    {
        settings[{settingNamespace, key}] = value;
        emitSettingChanged(settingNamespace, key, value);
    }

    void emitSettingChanged(const QString &settingNamespace, const QString &key, const QVariant &value)
    {
        QDBusMessage signal
            = QDBusMessage::createSignal(portalPath, settingsInterface, QStringLiteral("SettingChanged"));
        signal << settingNamespace << key << QVariant::fromValue(QDBusVariant(value));
        m_bus.send(signal);
    }

    QDBusMessage answer(const QDBusMessage &call) const
    {
        const QList<QVariant> arguments = call.arguments();
        const auto setting = settings.constFind({arguments.value(0).toString(), arguments.value(1).toString()});
        if (setting == settings.cend())
            return call.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                                         QStringLiteral("Requested setting not found"));
        // The portal wraps the value in a variant inside the variant that Read returns.
        const QDBusVariant inner(*setting);
        return call.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(inner))));
    }

    QDBusConnection m_bus;
    QList<QDBusMessage> m_held;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fprintf(stderr,
                     "usage: orvanta-fake-portal ADDRESS [--scheme N] [--contrast N] [--gnome-high-contrast] "
                     "[--unknown] [--hold]\n");
        return 2;
    }
    const QDBusConnection bus = QDBusConnection::connectToBus(arguments.takeFirst(), QStringLiteral("portal"));
    if (!bus.isConnected()) {
        std::fprintf(stderr, "fake portal: no bus there\n");
        return 1;
    }
    FakePortal portal(bus);
    while (!arguments.isEmpty()) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--scheme") && !arguments.isEmpty())
            portal.settings[{appearance, colorSchemeKey}] = QVariant::fromValue(arguments.takeFirst().toUInt());
        else if (option == QLatin1String("--contrast") && !arguments.isEmpty())
            portal.settings[{appearance, contrastKey}] = QVariant::fromValue(arguments.takeFirst().toUInt());
        else if (option == QLatin1String("--gnome-high-contrast"))
            portal.settings[{gnomeA11y, gnomeHighContrastKey}] = true;
        else if (option == QLatin1String("--unknown"))
            portal.settings.clear();
        else if (option == QLatin1String("--hold"))
            portal.holdAnswers = true;
        else {
            std::fprintf(stderr, "fake portal: unknown option %s\n", qPrintable(option));
            return 2;
        }
    }
    return runService(app, bus, portalService, portalPath, &portal,
                      [&](const QByteArray &line) { portal.command(line); });
}

#include "fake-portal.moc"
