#pragma once

#include <QDBusConnection>
#include <QObject>

#include <optional>

class QColor;
class QDBusPendingCallWatcher;
class QDBusVariant;

// Whether the desktop prefers a dark appearance. The desktop portal's colour-scheme setting
// decides where a portal answers; elsewhere the application palette's window colour does.
// The portal is asked in the background, so until it answers (or if it never does) the
// palette stands in.
class ColorSchemeWatcher : public QObject
{
    Q_OBJECT

public:
    // Watches the portal on the session bus.
    explicit ColorSchemeWatcher(QObject *parent = nullptr);
    explicit ColorSchemeWatcher(const QDBusConnection &bus, QObject *parent = nullptr);

    bool isDark() const;

    // The portal's 1 means dark and 2 light; 0 (no preference) or no answer leaves it to
    // the window colour, which is dark below a lightness of 128.
    static bool schemeIsDark(std::optional<uint> portalValue, const QColor &windowColour);

signals:
    // Emitted when isDark() flips.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void readAnswered(QDBusPendingCallWatcher *call);
    void settingChanged(const QString &settingNamespace, const QString &key, const QDBusVariant &value);
    void setPortalValue(std::optional<uint> value);
    void notifyIfFlipped();

    std::optional<uint> m_portalValue;
    bool m_lastDark = false;
};
