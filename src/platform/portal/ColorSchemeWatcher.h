#pragma once

#include <QDBusConnection>
#include <QObject>

#include <optional>

class QColor;
class QDBusVariant;

// Whether the desktop prefers a dark appearance, and whether it asks for high contrast. The
// desktop portal's colour-scheme setting decides dark where a portal answers; elsewhere the
// application palette's window colour does. High contrast is asked for by the portal's
// contrast setting or by GNOME's high-contrast switch, which GNOME's portal hands on. The
// portal is asked in the background, so until it answers (or if it never does) the palette
// stands in and nothing asks for high contrast.
class ColorSchemeWatcher : public QObject
{
    Q_OBJECT

public:
    // Watches the portal on the session bus.
    explicit ColorSchemeWatcher(QObject *parent = nullptr);
    explicit ColorSchemeWatcher(const QDBusConnection &bus, QObject *parent = nullptr);

    bool isDark() const;
    // The portal's contrast 1, or GNOME's high-contrast true.
    bool isHighContrast() const;

    // The portal's 1 means dark and 2 light; 0 (no preference) or no answer leaves it to
    // the window colour, which is dark below a lightness of 128.
    static bool schemeIsDark(std::optional<uint> portalValue, const QColor &windowColour);

signals:
    // Emitted when isDark() or isHighContrast() flips.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A value read or changed; the settings that are not watched are left alone.
    void settingChanged(const QString &settingNamespace, const QString &key, const QDBusVariant &value);
    void notifyIfFlipped();

    std::optional<uint> m_portalValue;
    std::optional<uint> m_portalContrast;
    bool m_gnomeHighContrast = false;
    bool m_lastDark = false;
    bool m_lastHighContrast = false;
};
