#include "platform/MissingDisplay.h"

#include <QCoreApplication>
#include <QList>

#include <algorithm>

std::optional<QString> missingDisplay(const QByteArray &qpaPlatform, const QByteArray &display,
                                      const QByteArray &waylandDisplay)
{
    if (qpaPlatform.trimmed().isEmpty()) {
        if (display.isEmpty() && waylandDisplay.isEmpty())
            return QCoreApplication::translate("MissingDisplay",
                                               "no display to open: neither DISPLAY nor WAYLAND_DISPLAY is set");
        return std::nullopt;
    }
    // A list of platforms to try in turn, each with optional ":options".
    QList<QByteArray> names;
    for (const QByteArray &entry : qpaPlatform.split(';')) {
        const QByteArray name = entry.split(':').first().trimmed();
        if (!name.isEmpty())
            names << name;
    }
    const bool onlyX11 = !names.isEmpty()
        && std::all_of(names.cbegin(), names.cend(), [](const QByteArray &name) { return name == "xcb"; });
    if (onlyX11 && display.isEmpty())
        return QCoreApplication::translate("MissingDisplay",
                                           "no display to open: QT_QPA_PLATFORM is xcb and DISPLAY is not set");
    return std::nullopt;
}

std::optional<QString> missingDisplay()
{
    return missingDisplay(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"));
}
